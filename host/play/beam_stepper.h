// Slow motion and single steps in snake-play: the session's frame painted one
// beam tick at a time, its ticks heard from the raster as they come, so that
// the screen shows the frame exactly as far as it has been drawn. Keys still
// reach the module only between frames: a game played in slow motion or step
// by step records and replays exactly like one played at normal pace.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "host/play/play_session.h"
#include "host/sim/afterglow.h"
#include "host/sim/beam_raster.h"

inline constexpr int SLOW_TICKS_PER_SECOND_DEFAULT = 500;
inline constexpr int SLOW_TICKS_PER_SECOND_MAX = 1000000;

struct beam_stepper_t {
    bool slow = false; // slow motion on
    int ticks_per_second = SLOW_TICKS_PER_SECOND_DEFAULT;
    bool open = false;              // a frame is being stepped through
    bool painted = false;           // its painter has finished it, or it broke the budget
    std::vector<beam_tick_t> ticks; // its ticks so far; the painter may be one tick ahead
    std::size_t shown = 0;          // the first `shown` ticks are on the screen
    double due = 0;                 // slow motion: ticks due and not yet shown
    std::int64_t last_us = -1;      // slow motion: when it last moved on; -1 not yet
    std::unique_ptr<beam_listening_t> listening; // while a frame is open
};

// The paused game one beam tick further (a running game is paused first): the
// next tick of the open frame, or, once all its ticks are shown, the end of
// that frame and the first tick of the next. A stopped game does not step.
void stepper_step(beam_stepper_t *st, play_session_t *s);

// Slow motion on or off; off, the next stepper_run finishes the open frame.
void stepper_toggle_slow(beam_stepper_t *st);

// One pass of the driver's loop at now_us. In slow motion, unless paused,
// shows the ticks due by now and ends at most one frame; out of it, finishes
// an open frame unless paused. Returns whether the pass is the stepper's
// (true in slow motion and while a frame is open): the driver then does not
// call session_step.
bool stepper_run(beam_stepper_t *st, play_session_t *s, std::int64_t now_us);

// Leaves the open frame unfinished: the session is about to start a new game.
void stepper_drop(beam_stepper_t *st);

// The afterglow of the ticks shown, lit as the raster's listener lights a frame.
std::unique_ptr<afterglow_t> stepper_glow(const beam_stepper_t &st);
