#include "host/image/frame_image.h"

#include <algorithm>
#include <climits>

#include "host/image/screen_color.h"

bool rgb_image_valid(const rgb_image_t &image)
{
    // 3 times two positive ints stays below 2^64.
    return image.width > 0 && image.height > 0 &&
           image.rgb.size() == std::size_t{3} * static_cast<std::size_t>(image.width) *
                                   static_cast<std::size_t>(image.height);
}

rgb_image_t frame_image(const double *pixel)
{
    rgb_image_t image{SCREEN_SIDE, SCREEN_SIDE, {}};
    image.rgb.resize(std::size_t{3} * SCREEN_SIDE * SCREEN_SIDE);
    std::uint8_t *out = image.rgb.data();
    for (int y = SCREEN_SIDE - 1; y >= 0; --y) {
        for (int x = 0; x < SCREEN_SIDE; ++x) {
            const screen_rgb_t rgb = screen_color(pixel, x, y);
            out = std::copy(rgb.begin(), rgb.end(), out);
        }
    }
    return image;
}

rgb_image_t scale_image(const rgb_image_t &image, int scale)
{
    if (scale < 1 || scale > IMAGE_SCALE_MAX || !rgb_image_valid(image) ||
        image.width > INT_MAX / scale || image.height > INT_MAX / scale)
        return {0, 0, {}};
    rgb_image_t out{image.width * scale, image.height * scale, {}};
    const std::size_t row_bytes = std::size_t{3} * static_cast<std::size_t>(out.width);
    out.rgb.resize(row_bytes * static_cast<std::size_t>(out.height));
    for (int y = 0; y < image.height; ++y) {
        // Widen one source row, then repeat it for the other rows of its band.
        auto row = out.rgb.begin() + static_cast<std::ptrdiff_t>(row_bytes) * y * scale;
        auto dst = row;
        for (int x = 0; x < image.width; ++x) {
            const auto src =
                image.rgb.begin() + 3 * (static_cast<std::ptrdiff_t>(y) * image.width + x);
            for (int i = 0; i < scale; ++i)
                dst = std::copy(src, src + 3, dst);
        }
        for (int i = 1; i < scale; ++i)
            std::copy(row, row + static_cast<std::ptrdiff_t>(row_bytes),
                      row + static_cast<std::ptrdiff_t>(row_bytes) * i);
    }
    return out;
}
