// The phosphor's afterglow across frames: each frame's beam points light the
// glow, and what they lit before fades by half every `persistence`
// milliseconds. Values stay in floating point so faint trails keep fading
// and end at 0 instead of sticking at a low colour step.
#pragma once

#include <array>

#include "host/sim/screen.h"

// Below this a trail has ended; it is set to 0 (the display shows black from
// 16 / 255 on, so nothing visible is cut short).
inline constexpr double GLOW_FLOOR = 1.0 / 1024;

// Glow, 0 to 1, in the layout of the raster's buffer: element x * 256 + y.
using glow_t = std::array<double, SCREEN_POINTS>;

// Fades the glow by `decay` and lights it with the frame's points: each
// element becomes the brighter of the frame's value and the faded glow, so a
// point lit every frame keeps the frame's own brightness, and with decay 0
// the glow is exactly the frame.
void glow_add_frame(glow_t &glow, const double *frame_pixels, double decay);
