#include "host/sim/beam_fault.h"

#include <cstdio>

std::string beam_fault_message(const beam_fault_t &f)
{
    char text[80];
    if (f.kind == beam_fault_kind_t::slanted_join)
        std::snprintf(text, sizeof text, "@%02x: [%d %d] (%d,%d) --> [%d %d]  @%02x\n", f.state,
                      f.x, f.y, f.step_x, f.step_y, f.from_x, f.from_y, f.state);
    else
        std::snprintf(text, sizeof text, "EXIT (tick=%d)  @%02x\n", f.tick, f.state);
    return text;
}

std::string beam_fault_place(const beam_fault_t &f)
{
    return "frame " + std::to_string(f.frame) + ", pass " +
           BEAM_PASS_NAMES[static_cast<std::size_t>(f.pass)];
}

std::string beam_fault_reason(const beam_fault_t &f)
{
    if (f.kind == beam_fault_kind_t::slanted_join)
        return "a wall line that is neither horizontal nor vertical";
    return "more than " + std::to_string(BEAM_TICK_LIMIT) + " beam ticks";
}
