// A game played on the beam raster by a key script, frame after frame, with
// the frames asked for heard by the raster's listeners. Each heard frame is
// exactly the frame of a separate run that stops at it: the raster clears
// its last point before it, and nothing else it carries from frame to frame
// differs between the two.
#pragma once

#include <cstdint>

#include "host/keys/key_script.h"
#include "host/sim/beam_fault.h"
#include "host/sim/frame_loop.h"
#include "host/sim/run_cycle.h"

struct scripted_run_t {
    game_setup_t setup;
    key_script_t keys;
    std::int64_t cycle_search_frames = CYCLE_SEARCH_FRAMES; // 0: play every frame
    snake_t game{};                                         // the record the module plays in
    std::int64_t drawn = 0; // frames drawn so far; frame numbers count from 1
    run_cycle_t cycle;      // the period once the keys are spent
};

// One frame of `game` on the raster, numbered `number` and played for
// `use`: painted until the painter finishes it or a fault breaks it off,
// then, unless it broke off, its key and time call. Returns the fault, of
// kind none when the frame was finished.
beam_fault_t play_raster_frame(snake_t *game, std::int64_t number, std::uint8_t key,
                               frame_use_t use);

// Starts the game, watched by the raster, which hears nothing until a
// frame asks for it: the park reaches no listener, even after an earlier run.
void run_start(scripted_run_t *run);

// Plays on until frame n (above `drawn`, at most 2147483647) is drawn, unheard
// but for frame n itself, played for `use`. Once the period of the game after
// its last key is known, whole periods are leapt over: frames are the same as
// if every frame had been played. A fault leaves `drawn` at the frames
// finished before it and is returned; kind none when frame n was drawn.
beam_fault_t run_to_frame(scripted_run_t *run, std::int64_t n,
                          frame_use_t use = frame_use_t::asked);

// The game's period after its last key, found ahead of a run that needs it
// from the start: `run` is started anew and plays unheard until the period
// is known, frame `until` is drawn, the search gives up or a frame breaks
// off. Returns run->cycle (period 0 when not found).
run_cycle_t find_run_cycle(scripted_run_t *run, std::int64_t until);

// The search may see the period long after the game came into its cycle:
// the first frame from the last key on whose state comes back `period`
// frames later, found by playing `run` anew, unheard, about log2(since)
// times up to since + period.
std::int64_t earliest_cycle_since(scripted_run_t *run, const run_cycle_t &cycle);
