// Plain drawing on an RGB picture, for diagrams that need no vector renderer:
// discs, rings, lines (solid or dashed), rectangles and text in the game's
// stroke font. Coordinates are pixels from the top left, a pixel's centre at
// +0.5; whatever falls outside the picture is left out.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "host/image/frame_image.h"

using canvas_rgb_t = std::array<std::uint8_t, 3>;

// A picture of one colour.
rgb_image_t blank_canvas(int width, int height, canvas_rgb_t colour);

void put_pixel(rgb_image_t &image, int x, int y, canvas_rgb_t colour);

// The pixels whose centres lie within r of (cx, cy).
void fill_disc(rgb_image_t &image, double cx, double cy, double r, canvas_rgb_t colour);

// The pixels whose centres lie within half a pixel of the circle of radius r.
void draw_ring(rgb_image_t &image, double cx, double cy, double r, canvas_rgb_t colour);

// A one-pixel line between the pixels that hold the two ends. With a dash,
// `on` pixels drawn and `off` left out in turn, starting at (x0, y0).
struct dash_t {
    int on = 0; // 0: solid
    int off = 0;
};
void draw_line(rgb_image_t &image, double x0, double y0, double x1, double y1, canvas_rgb_t colour,
               dash_t dash = {});

// The pixels whose centres lie in [x0, x1] x [y0, y1]; the outline is the
// border of that block, one pixel wide.
void fill_rect(rgb_image_t &image, double x0, double y0, double x1, double y1, canvas_rgb_t colour);
void draw_rect(rgb_image_t &image, double x0, double y0, double x1, double y1, canvas_rgb_t colour);

// One line of text in the stroke font, each point of the font a square of
// `scale` pixels, its baseline at y. Anchored at its left end, or at its
// right end with `right`. At most as many characters as fit 256 font units.
void draw_text(rgb_image_t &image, double x, double y, std::string_view text, int scale,
               canvas_rgb_t colour, bool right = false);
