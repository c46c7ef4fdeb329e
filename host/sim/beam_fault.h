// A tick that the display cannot draw: one past the frame's budget, or a
// wall line that is neither horizontal nor vertical. The raster does not
// exit on it: it notes the fault, hears nothing more of the frame, and the
// frame loop returns the fault as a value, which a program turns into the
// message below and its exit status.
#pragma once

#include <cstdint>
#include <string>

#include "host/sim/beam_budget.h"

enum class beam_fault_kind_t : std::uint8_t {
    none,         // the frame went on
    tick_limit,   // more than BEAM_TICK_LIMIT ticks
    slanted_join, // a wall line that is neither horizontal nor vertical
};

struct beam_fault_t {
    beam_fault_kind_t kind = beam_fault_kind_t::none;
    std::int64_t frame = 0; // the frame that could not be finished
    std::uint16_t tick = 0; // the offending tick (BEAM_TICK_LIMIT + 1 at the limit)
    beam_pass_t pass{};     // the pass that sent it
    std::uint8_t state = 0; // the painter state then
    std::uint8_t x = 0;     // slanted join: the point asked for
    std::uint8_t y = 0;
    std::int8_t step_x = 0; // slanted join: the step towards it, each -1, 0 or 1
    std::int8_t step_y = 0;
    std::uint8_t from_x = 0; // slanted join: the last point
    std::uint8_t from_y = 0;
    frame_budget_t budget{}; // the frame's ticks up to and with the offending one
};

inline bool beam_faulted(const beam_fault_t &f) { return f.kind != beam_fault_kind_t::none; }

// The simulator's own message, newline included: "EXIT (tick=2001)  @ff"
// or "@fc: [x y] (sx,sy) --> [x y]  @fc".
std::string beam_fault_message(const beam_fault_t &fault);

// In words, for a program's own line after that message: "frame 12, pass
// walls", and why ("more than 2000 beam ticks").
std::string beam_fault_place(const beam_fault_t &fault);
std::string beam_fault_reason(const beam_fault_t &fault);
