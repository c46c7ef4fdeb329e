#include "host/play/overlay_text.h"

#include <algorithm>
#include <string>

#include "vector/vektor_zeichen.h"

namespace {

// The stroker calls back without context; these are the current line's.
overlay_t *target = nullptr;
int min_x = 0;
int max_x = 0;

// More calls than any line of at most 255 characters needs.
constexpr int STROKE_CALL_LIMIT = 1 << 20;

void mark_point(std::uint8_t x, std::uint8_t y)
{
    min_x = std::min<int>(min_x, x);
    max_x = std::max<int>(max_x, x);
    if (target != nullptr)
        (*target)[x * SCREEN_SIDE + y] = 1;
}

void dark_tick() {}

// Strokes one line at (x0, y0); returns whether any point was lit.
bool stroke_line(const std::string &line, std::uint8_t x0, std::uint8_t y0, std::uint8_t size)
{
    drawinfo_t d{};
    d.text = reinterpret_cast<const std::uint8_t *>(line.c_str());
    d.xy_fn = mark_point;
    d.skip_fn = dark_tick;
    d.x0 = x0;
    d.y0 = y0;
    d.size = size;
    d.prop = 1;
    draw_reset(&d);
    min_x = SCREEN_SIDE;
    max_x = -1;
    for (int i = 0; i < STROKE_CALL_LIMIT && draw_letters(&d) == 0; ++i) {
    }
    return max_x >= 0;
}

// The lit columns of a line stroked from x 0: [min_x, max_x], or false.
bool measure(std::string_view line, std::uint8_t size)
{
    target = nullptr;
    return stroke_line(std::string(line.substr(0, 255)), 0, 128, size);
}

} // namespace

int text_width(std::string_view line, std::uint8_t size)
{
    return measure(line, size) ? max_x - min_x + 1 : 0;
}

void overlay_centred(overlay_t &overlay, std::string_view text, std::uint8_t top_y,
                     std::uint8_t size)
{
    int y = top_y;
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        const std::string_view line = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
        // A line wider than the screen starts at its left edge and wraps.
        int x0 = 0;
        if (measure(line, size))
            x0 = std::max(0, (SCREEN_SIDE - (max_x - min_x + 1)) / 2 - min_x);
        target = &overlay;
        stroke_line(std::string(line.substr(0, 255)), static_cast<std::uint8_t>(x0),
                    static_cast<std::uint8_t>(y), size);
        target = nullptr;
        y -= 8 * size + 3;
        if (y < 0)
            return;
    }
}
