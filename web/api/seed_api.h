// The seed of the page's API: the few functions JS calls in the module, just
// enough to prove the web build (toolchain, link, exports, memory read from
// JS). It drives the game module directly with a beam that only records;
// the real API, on the simulation core and its raster, replaces it.
#pragma once

#include <cstdint>

// Lit points kept per frame: the display's budget of beam ticks.
inline constexpr int WEB_POINTS_MAX = 2000;

extern "C" {

// Starts a game at level 1 to 4 as pc-snake does: a fresh record, the initial
// seed, the simulator's pace (speed 1, growth 20). Returns 0, or -1 for
// another level, which leaves the game as it was.
int web_start(int level);

// Plays one frame (key 0: none, otherwise the module's key code) and returns
// its beam ticks, lit and dark; -1 before a game is started.
int web_frame(int key);

// The lit points of the last frame in beam order, x then y per point; only
// the first WEB_POINTS_MAX of a frame are kept.
const std::uint8_t *web_points();
int web_point_count();

} // extern "C"
