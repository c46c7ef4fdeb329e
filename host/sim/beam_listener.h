// What the raster hands to those who listen to the beam: every beam operation
// of a heard frame as it happens, and each heard frame's beginning and end.
// A frame is played for one of three uses; a listener hears the frames
// asked for, and, if it keeps light across frames (the tube), also the
// frames played only for the light they leave.
#pragma once

#include <cstdint>

#include "host/sim/beam_budget.h"
#include "host/sim/beam_fault.h"

enum class frame_use_t : std::uint8_t {
    unheard, // played for the game's state alone: nothing is recorded or heard
    light,   // played for the light it leaves: heard by listeners of the light only
    asked,   // a frame the user asked for: every listener hears it
};

// One beam operation, as a listener hears it.
struct beam_tick_t {
    std::int64_t frame;  // pc-snake's number of the frame (1 = the first)
    std::uint16_t tick;  // 1 for the first tick of the frame
    beam_pass_t pass;    // the painter pass that sent it
    std::uint8_t state;  // the painter state (paint_state) at the time
    bool lit;            // a lit point at (x, y); otherwise a dark tick
    std::uint8_t x, y;   // the point as the module gave it; 0 when dark
    bool joined;         // lit along a wall: the display fills in the line from (from_x, from_y)
    std::uint8_t from_x; // the last lit point before, when joined
    std::uint8_t from_y;
    bool faulted; // the tick that broke the frame: heard, but it lights nothing
};

struct beam_frame_t {
    std::int64_t number;
    frame_use_t use;
};

struct beam_frame_end_t {
    std::int64_t number;
    frame_use_t use;
    const frame_budget_t *budget; // its ticks, in total and by pass
    const beam_fault_t *fault;    // why it broke off, or nullptr when the painter finished it
};

// Callbacks with the listener's own record as context; any may be left out
// (nullptr). A listener reports its own faults as values
// of its own: nothing may leave a callback by an exception.
struct beam_listener_t {
    void *context;
    void (*on_tick)(void *context, const beam_tick_t &tick);
    void (*on_frame_begin)(void *context, const beam_frame_t &frame) = nullptr;
    void (*on_frame_end)(void *context, const beam_frame_end_t &end) = nullptr;
    bool hears_light = false; // also the frames played only for the light they leave
};

// Whether a listener hears a frame played for `use`.
constexpr bool listener_hears(const beam_listener_t &l, frame_use_t use)
{
    return use == frame_use_t::asked || (use == frame_use_t::light && l.hears_light);
}
