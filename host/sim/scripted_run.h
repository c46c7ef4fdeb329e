// A game played on the beam raster by a key script, frame after frame, with
// the frames asked for recorded into the afterglow buffer. Each recorded
// frame is exactly the image of a separate run that stops at that frame:
// the raster clears its buffer and last point before it, and nothing else
// it carries from frame to frame differs between the two.
#pragma once

#include <cstdint>

#include "host/sim/frame_loop.h"
#include "host/sim/key_script.h"
#include "host/sim/run_cycle.h"

struct scripted_run_t {
    game_setup_t setup;
    key_script_t keys;
    std::int64_t cycle_search_frames = CYCLE_SEARCH_FRAMES; // 0: play every frame
    snake_t game{};                                         // the record the module plays in
    std::int64_t drawn = 0; // frames drawn so far; frame numbers count from 1
    run_cycle_t cycle;      // the period once the keys are spent
};

// One frame of `game` on the raster, numbered `number`: painted (on a clean
// buffer, when recorded), then its key and time call. raster.budget then
// holds its ticks.
void play_raster_frame(snake_t *game, std::int64_t number, std::uint8_t key, bool record);

// Starts the game, watched by the raster, which records nothing until a
// frame asks for it: the park reaches no listener, even after an earlier run.
void run_start(scripted_run_t *run);

// Plays on until frame n (above `drawn`, at most 2147483647) is drawn and
// records only that one; raster.budget then holds its ticks. Once the period
// of the game after its last key is known, whole periods are leapt over:
// frames are the same as if every frame had been played. A beam abort
// (beam_abort_t) leaves `drawn` at the frames finished before it, and
// raster.budget with the aborted frame's ticks so far.
void run_to_frame(scripted_run_t *run, std::int64_t n);
