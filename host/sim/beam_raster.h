// The simulator's beam: counts the ticks of each frame against the limit,
// and during a recorded frame puts lit points into the afterglow buffer,
// filling in the points between successive wall points. A driver that links
// the raster defines `frame` (frames still to run; points are recorded only
// while it is 0) and the game record `snake` (its painter state tells when
// walls are being drawn).
#pragma once

#include <cstdint>
#include <exception>

#include "host/sim/beam_budget.h"
#include "snake/beam_port.h"
#include "snake/snake.h"

inline constexpr int SCREEN_SIZE = 256;
inline constexpr double BEAM_WEIGHT_POINT = 0.8;  // a point the module asks for
inline constexpr double BEAM_WEIGHT_FILLED = 0.4; // a point filled in along a wall

// Afterglow, 0 to 1, element x * 256 + y.
extern double pixel[SCREEN_SIZE * SCREEN_SIZE];

extern std::int32_t frame;
extern snake_t snake;

// Ticks of the current frame by pass; the driver clears it at each frame start.
extern frame_budget_t beam_budget;

// Exit statuses of the raster's aborts.
inline constexpr int EXIT_TICK_LIMIT = 2;
inline constexpr int EXIT_DIAGONAL_JOIN = 3;

// Thrown once the abort's message is on stderr, so that a driver can keep
// what it has made so far before it ends with `status`.
struct beam_abort_t : std::exception {
    int status;       // EXIT_TICK_LIMIT or EXIT_DIAGONAL_JOIN
    beam_pass_t pass; // the pass that sent the offending tick
    beam_abort_t(int status_, beam_pass_t pass_) : status(status_), pass(pass_) {}
    const char *what() const noexcept override { return "beam abort"; }
};

// p <- 1 - (1 - w)(1 - p): repeated hits approach 1 and never pass it.
void heller(std::uint8_t x, std::uint8_t y, double w);

// The tick-limit abort: its message, then beam_abort_t.
[[noreturn]] void sexit();

// Before a recorded frame: a clean buffer and last point, as in a process
// that records its first frame. The skip flag carries over as it would.
void raster_begin_recording();

// What the raster carries from one frame into the next that a later frame can
// depend on: the skip flag, and the tick count that the painter tests when a
// frame starts. The last point is not part of it: it is cleared before every
// recorded frame and neither read nor written in the others.
struct raster_state_t {
    std::int32_t skip;
    std::uint16_t tick;

    friend bool operator==(const raster_state_t &, const raster_state_t &) = default;
};

raster_state_t raster_state();

// The pass a tick sent now belongs to.
beam_pass_t current_pass();
