#include "host/image/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "vector/vektor_zeichen.h"

namespace {

// The stroker calls back without context: the points of the line being stroked.
std::vector<std::pair<std::uint8_t, std::uint8_t>> *stroked = nullptr;

void keep_point(std::uint8_t x, std::uint8_t y) { stroked->emplace_back(x, y); }
void dark_tick() {}

// Baseline in font units, with room below it for descenders.
constexpr std::uint8_t TEXT_BASE = 16;
// More calls than any line of at most 255 characters needs.
constexpr int STROKE_CALL_LIMIT = 1 << 20;

std::vector<std::pair<std::uint8_t, std::uint8_t>> stroke_points(std::string_view text)
{
    const std::string line(text.substr(0, 255));
    std::vector<std::pair<std::uint8_t, std::uint8_t>> points;
    drawinfo_t d{};
    d.text = reinterpret_cast<const std::uint8_t *>(line.c_str());
    d.xy_fn = keep_point;
    d.skip_fn = dark_tick;
    d.y0 = TEXT_BASE;
    d.size = 1;
    d.prop = 1;
    draw_reset(&d);
    stroked = &points;
    for (int i = 0; i < STROKE_CALL_LIMIT && draw_letters(&d) == 0; ++i) {
    }
    stroked = nullptr;
    return points;
}

int max_x_of(const std::vector<std::pair<std::uint8_t, std::uint8_t>> &points)
{
    int most = -1;
    for (const auto &p : points)
        most = std::max<int>(most, p.first);
    return most;
}

} // namespace

rgb_image_t blank_canvas(int width, int height, canvas_rgb_t colour)
{
    rgb_image_t image{width, height, {}};
    image.rgb.resize(std::size_t{3} * static_cast<std::size_t>(width) *
                     static_cast<std::size_t>(height));
    for (std::size_t i = 0; i < image.rgb.size(); i += 3)
        std::copy(colour.begin(), colour.end(), image.rgb.begin() + static_cast<std::ptrdiff_t>(i));
    return image;
}

void put_pixel(rgb_image_t &image, int x, int y, canvas_rgb_t colour)
{
    if (x < 0 || y < 0 || x >= image.width || y >= image.height)
        return;
    const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                            static_cast<std::size_t>(x)) *
                           3;
    std::copy(colour.begin(), colour.end(), image.rgb.begin() + static_cast<std::ptrdiff_t>(at));
}

void fill_disc(rgb_image_t &image, double cx, double cy, double r, canvas_rgb_t colour)
{
    const int x0 = static_cast<int>(std::floor(cx - r));
    const int y0 = static_cast<int>(std::floor(cy - r));
    for (int y = y0; y <= static_cast<int>(std::ceil(cy + r)); ++y)
        for (int x = x0; x <= static_cast<int>(std::ceil(cx + r)); ++x) {
            const double dx = x + 0.5 - cx;
            const double dy = y + 0.5 - cy;
            if (dx * dx + dy * dy <= r * r)
                put_pixel(image, x, y, colour);
        }
}

void draw_ring(rgb_image_t &image, double cx, double cy, double r, canvas_rgb_t colour)
{
    const double outer = r + 0.5;
    const int x0 = static_cast<int>(std::floor(cx - outer));
    const int y0 = static_cast<int>(std::floor(cy - outer));
    for (int y = y0; y <= static_cast<int>(std::ceil(cy + outer)); ++y)
        for (int x = x0; x <= static_cast<int>(std::ceil(cx + outer)); ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            if (std::abs(d - r) <= 0.5)
                put_pixel(image, x, y, colour);
        }
}

void draw_line(rgb_image_t &image, double x0, double y0, double x1, double y1, canvas_rgb_t colour,
               dash_t dash)
{
    int x = static_cast<int>(std::floor(x0));
    int y = static_cast<int>(std::floor(y0));
    const int xe = static_cast<int>(std::floor(x1));
    const int ye = static_cast<int>(std::floor(y1));
    // Bresenham: err tracks the distance to the ideal line in both axes at once.
    const int dx = std::abs(xe - x);
    const int dy = -std::abs(ye - y);
    const int sx = x < xe ? 1 : -1;
    const int sy = y < ye ? 1 : -1;
    int err = dx + dy;
    const int period = dash.on + dash.off;
    for (int step = 0;; ++step) {
        if (dash.on == 0 || step % period < dash.on)
            put_pixel(image, x, y, colour);
        if (x == xe && y == ye)
            return;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void fill_rect(rgb_image_t &image, double x0, double y0, double x1, double y1, canvas_rgb_t colour)
{
    for (int y = static_cast<int>(std::ceil(y0 - 0.5)); y + 0.5 <= y1; ++y)
        for (int x = static_cast<int>(std::ceil(x0 - 0.5)); x + 0.5 <= x1; ++x)
            put_pixel(image, x, y, colour);
}

void draw_rect(rgb_image_t &image, double x0, double y0, double x1, double y1, canvas_rgb_t colour)
{
    const int left = static_cast<int>(std::ceil(x0 - 0.5));
    const int top = static_cast<int>(std::ceil(y0 - 0.5));
    const int right = static_cast<int>(std::floor(x1 - 0.5));
    const int bottom = static_cast<int>(std::floor(y1 - 0.5));
    for (int x = left; x <= right; ++x) {
        put_pixel(image, x, top, colour);
        put_pixel(image, x, bottom, colour);
    }
    for (int y = top; y <= bottom; ++y) {
        put_pixel(image, left, y, colour);
        put_pixel(image, right, y, colour);
    }
}

void draw_text(rgb_image_t &image, double x, double y, std::string_view text, int scale,
               canvas_rgb_t colour, bool right)
{
    const auto points = stroke_points(text);
    const int left =
        static_cast<int>(std::lround(x)) - (right ? (max_x_of(points) + 1) * scale : 0);
    const int base = static_cast<int>(std::lround(y));
    for (const auto &[px, py] : points) {
        const int top = base - (py - TEXT_BASE + 1) * scale;
        for (int dy = 0; dy < scale; ++dy)
            for (int dx = 0; dx < scale; ++dx)
                put_pixel(image, left + px * scale + dx, top + dy, colour);
    }
}
