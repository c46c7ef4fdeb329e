// One frame's beam path as a picture to read: every lit point a dot in its
// pass's colour, joined in tick order, the dark ticks and blanked moves, the
// points the display fills in along the walls, and a legend of the budget.
// Laid out once as a list of shapes, so the SVG and the PNG show the same.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/image/frame_image.h"
#include "host/sim/beam_listener.h"
#include "host/sim/screen.h"

struct trace_frame_t {
    std::uint8_t level = 1;
    std::int64_t frame = 0;
    std::vector<beam_tick_t> ticks; // in tick order; past the limit when the frame aborted
};

enum class shape_kind_t : std::uint8_t {
    screen, // the screen's disc: centre (x, y), radius x2
    path,   // a thin line from (x, y) to (x2, y2) between successive lit points
    move,   // a dashed line: the beam moving dark from (x, y) to (x2, y2)
    filled, // a point the display fills in along a wall, centred at (x, y)
    dark,   // a dark tick, a hollow mark centred at (x, y)
    lit,    // a lit point, a dot centred at (x, y)
    swatch, // a legend's colour box from (x, y) to (x2, y2)
    text,   // words with their baseline at y, from x on (or ending at x when right)
};

struct shape_t {
    shape_kind_t kind;
    double x, y;
    double x2 = 0, y2 = 0;
    std::string colour = {}; // "#rrggbb"
    std::string text = {};   // text: the words; lit and dark: the hover title
    bool right = false;      // text: x is where it ends
    bool large = false;      // text: a heading
    bool key = false;        // a sample in the legend, not part of the frame
};

// Sizes both pictures keep, in pixels.
inline constexpr int TRACE_POINT_PX = 4; // one screen unit
inline constexpr double TRACE_DOT_R = 1.5;
inline constexpr double TRACE_DARK_R = 3.5;
inline constexpr double TRACE_FILLED_HALF = 1.0; // the filled square's half side, less its line
inline constexpr int TRACE_DASH_ON = 4;
inline constexpr int TRACE_DASH_OFF = 3;
inline constexpr const char *TRACE_BACKGROUND = "#ffffff";

struct trace_scene_t {
    int width = 0;
    int height = 0;
    std::vector<shape_t> shapes; // in drawing order
};

trace_scene_t trace_scene(const trace_frame_t &frame);

// Where the centre of screen point (x, y) lands, in the scene's pixels.
double trace_x(std::uint8_t x);
double trace_y(std::uint8_t y);

// A standalone SVG, every lit point and dark tick with its tick as a hover title.
std::string trace_svg(const trace_scene_t &scene);

// The same picture drawn into pixels, text in the game's stroke font.
rgb_image_t trace_picture(const trace_scene_t &scene);
