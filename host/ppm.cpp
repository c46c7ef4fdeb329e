#include "ppm.h"

#include <charconv>

namespace {

void append_int(std::string &out, int v)
{
    char buf[16];
    const auto result = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, result.ptr);
}

} // namespace

void write_ppm(const double *pixel, std::string &out)
{
    out += "P3\n256 256\n255\n";
    for (int y = SCREEN_SIDE - 1; y >= 0; --y) {
        for (int x = 0; x < SCREEN_SIDE; ++x) {
            for (std::uint8_t channel : screen_color(pixel, x, y)) {
                append_int(out, channel);
                out += ' ';
            }
        }
        out += '\n';
    }
}
