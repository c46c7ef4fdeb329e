// The simulator's beam: counts the ticks of each frame against the limit,
// and during the last frame records lit points into the afterglow buffer,
// filling in the points between successive wall points. A driver that links
// the raster defines `frame` (frames still to run; points are recorded only
// while it is 0) and the game record `snake` (its painter state tells when
// walls are being drawn).
#pragma once

#include <cstdint>

#include "snake/beam_port.h"
#include "snake/snake.h"

inline constexpr std::uint16_t BEAM_TICK_LIMIT = 2000;
inline constexpr int SCREEN_SIZE = 256;
inline constexpr double BEAM_WEIGHT_POINT = 0.8;  // a point the module asks for
inline constexpr double BEAM_WEIGHT_FILLED = 0.4; // a point filled in along a wall

// Afterglow, 0 to 1, element x * 256 + y.
extern double pixel[SCREEN_SIZE * SCREEN_SIZE];

extern std::int32_t frame;
extern snake_t snake;

// p <- 1 - (1 - w)(1 - p): repeated hits approach 1 and never pass it.
void heller(std::uint8_t x, std::uint8_t y, double w);

// Ends the process on the tick limit (status 2).
[[noreturn]] void sexit();

// Exit statuses of the raster's aborts.
inline constexpr int EXIT_TICK_LIMIT = 2;
inline constexpr int EXIT_DIAGONAL_JOIN = 3;
