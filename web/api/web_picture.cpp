#include "web/api/web_picture.h"

#include "host/image/screen_color.h"

void web_rgba_of(const double *pixel, std::uint8_t *out)
{
    for (int y = SCREEN_SIDE - 1; y >= 0; --y) {
        for (int x = 0; x < SCREEN_SIDE; ++x) {
            const screen_rgb_t rgb = screen_color(pixel, x, y);
            *out++ = rgb[0];
            *out++ = rgb[1];
            *out++ = rgb[2];
            *out++ = 255;
        }
    }
}
