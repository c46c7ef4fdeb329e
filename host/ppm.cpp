#include "ppm.h"

#include <charconv>

namespace {

constexpr int SIZE = 256;
constexpr int CENTRE = 128;
constexpr int DISC_LIMIT = 15875; // one less than 126 squared
constexpr const char *OUTSIDE = "60 50 50 ";

bool outside_disc(int x, int y)
{
    const int dx = x - CENTRE;
    const int dy = y - CENTRE;
    return dx * dx + dy * dy > DISC_LIMIT;
}

void append_int(std::string &out, int v)
{
    char buf[16];
    const auto result = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, result.ptr);
}

// Truncated toward zero, then kept to multiples of 16.
int channel(double v, std::int32_t color) { return static_cast<int>(v * color) & 0xF0; }

} // namespace

void write_ppm(const double *pixel, std::string &out)
{
    out += "P3\n256 256\n255\n";
    for (int y = SIZE - 1; y >= 0; --y) {
        for (int x = 0; x < SIZE; ++x) {
            if (outside_disc(x, y)) {
                out += OUTSIDE;
                continue;
            }
            const double v = pixel[x * SIZE + y];
            for (std::int32_t color : BEAM_COLOR) {
                append_int(out, channel(v, color));
                out += ' ';
            }
        }
        out += '\n';
    }
}
