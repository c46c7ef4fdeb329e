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
    std::int64_t drawn = 0; // frames drawn so far; frame numbers count from 1
    run_cycle_t cycle; // the period once the keys are spent; set search_frames before the start
};

// One frame of the driver's record `snake` on the raster: painted (and
// recorded, on a clean buffer, when `frame` is 0), then its key and time
// call. beam_budget holds its ticks, numbered `number`.
void play_raster_frame(std::int64_t number, std::uint8_t key);

// Starts the game in the driver's record `snake`.
void run_start(scripted_run_t *run);

// Plays on until frame n (above `drawn`, at most 2147483647) is drawn and
// records only that one; beam_budget then holds its ticks. Once the period
// of the game after its last key is known, whole periods are leapt over:
// frames are the same as if every frame had been played. A beam abort
// (beam_abort_t) leaves `drawn` at the frames finished before it, and
// beam_budget with the aborted frame's ticks so far.
void run_to_frame(scripted_run_t *run, std::int64_t n);
