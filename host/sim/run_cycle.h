// Once its last key is delivered, a game on the raster is a closed,
// deterministic system: its state at a frame boundary decides every later
// frame, and having finitely many states it must come back to one it has had.
// run_cycle_t finds the period by Brent's method, with the live run as the
// hare and one saved state as the tortoise, comparing whole states exactly,
// so that a run can leap over whole periods without painting them.
#pragma once

#include <cstdint>

#include "host/sim/beam_raster.h"
#include "snake/snake.h"
#include "snake/snake_state.h"

// Everything that decides the frames after a frame boundary once no key
// comes any more: the game record, the module's statics (the generator's
// among them) and the raster's carried state.
struct run_state_t {
    snake_t game;
    snake_statics_t module;
    raster_carry_t raster;

    friend bool operator==(const run_state_t &, const run_state_t &) = default;
};

run_state_t current_run_state(const snake_t &game);

// How many frames past its first look the search goes on before it gives up
// and the run plays every frame, as it would without the search. Brent's
// method needs up to twice the period past the cycle's start, so periods of
// up to about half of this are found; looking costs one state comparison per
// frame, little beside painting it.
inline constexpr std::int64_t CYCLE_SEARCH_FRAMES = std::int64_t{1} << 20;

struct run_cycle_t {
    // The result: from frame `since` on, the state after frame f + period is
    // the state after frame f. 0 while not known.
    std::int64_t period = 0;
    std::int64_t since = 0;

    // Brent's search: the tortoise, and the step count at which it moves up
    // to the hare (a power of two).
    std::int64_t first = 0; // the frame the search began at; 0 before it has
    run_state_t tortoise{};
    std::int64_t tortoise_frame = 0;
    std::int64_t power = 1;
};

// After frame `drawn` of `game`, whose keys are all delivered: one step of
// the search, which looks for at most `search_frames` frames (0: not at all).
// Once the period is known, or the search has given up, it does nothing.
void cycle_observe(run_cycle_t *c, const snake_t &game, std::int64_t drawn,
                   std::int64_t search_frames);

// Where a run that has drawn `drawn` frames may stand instead before it plays
// on to frame n: moved on by whole periods, so that at most `period` frames,
// n among them, are left to play (all of them while the period is not known).
std::int64_t cycle_leap(const run_cycle_t &c, std::int64_t drawn, std::int64_t n);
