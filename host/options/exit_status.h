// The exit statuses of pc-snake, snake-render, snake-play and wav-xy: one
// meaning each, the same in every program, and the one place where a beam
// fault becomes a status.
#pragma once

#include "host/sim/beam_fault.h"

inline constexpr int EXIT_USAGE = 1;         // bad arguments, options or key script
inline constexpr int EXIT_TICK_LIMIT = 2;    // a frame needed more beam ticks than the budget
inline constexpr int EXIT_DIAGONAL_JOIN = 3; // a wall line neither horizontal nor vertical
inline constexpr int EXIT_WRITE_FAILED = 4;  // an output could not be written
inline constexpr int EXIT_NO_DEVICE = 5;     // no window (or sound device) could be opened

// 0 for no fault.
constexpr int exit_status_of(const beam_fault_t &fault)
{
    switch (fault.kind) {
    case beam_fault_kind_t::tick_limit: return EXIT_TICK_LIMIT;
    case beam_fault_kind_t::slanted_join: return EXIT_DIAGONAL_JOIN;
    case beam_fault_kind_t::none: return 0;
    }
    return 0;
}
