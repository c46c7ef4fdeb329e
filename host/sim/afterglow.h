// The afterglow of an asked-for frame in the simulator's own terms: each lit
// point brightens its element of `pixel` by 0.8, each point the display fills
// in along a wall by 0.4, by the rule of `heller`, on a buffer cleared when
// the frame begins. A listener to the raster; anything that replays ticks
// (slow motion) or has its own points (a scope's samples) lights it the same way.
#pragma once

#include <array>
#include <cstdint>

#include "host/sim/beam_listener.h"
#include "host/sim/screen.h"

inline constexpr double BEAM_WEIGHT_POINT = 0.8;  // a point the module asks for
inline constexpr double BEAM_WEIGHT_FILLED = 0.4; // a point filled in along a wall

struct afterglow_t {
    std::array<double, SCREEN_POINTS> pixel; // 0 to 1, element screen_index(x, y)
};

void afterglow_clear(afterglow_t *glow);

// p <- 1 - (1 - w)(1 - p): repeated hits approach 1 and never pass it.
void heller(afterglow_t *glow, std::uint8_t x, std::uint8_t y, double w);

// The points one tick lights: the line the display fills in up to a joined
// point, then the point; nothing for a dark tick or one that broke the frame.
void afterglow_light(afterglow_t *glow, const beam_tick_t &tick);

// For raster_listen: cleared at each frame's beginning, lit by its ticks.
beam_listener_t afterglow_listener(afterglow_t *glow);
