// The points the display fills in along a wall, from what a listener hears:
// a joined tick's line from the last lit point to its own. The one fill of
// the afterglow, the trace and whatever else redraws a frame from its ticks.
#pragma once

#include <cstdint>

#include "host/sim/beam_listener.h"

// Calls visit(x, y) for each point strictly between (from_x, from_y) and
// (x, y) of a joined tick, in order, stepping by unsigned comparison; none
// for a tick that broke the frame (a slanted join).
template <class Visit> void for_each_filled_point(const beam_tick_t &t, Visit visit)
{
    if (!t.joined || t.faulted)
        return;
    const int sx = (t.from_x < t.x) - (t.x < t.from_x);
    const int sy = (t.from_y < t.y) - (t.y < t.from_y);
    std::uint8_t x = t.from_x;
    std::uint8_t y = t.from_y;
    for (;;) {
        x = static_cast<std::uint8_t>(x + sx);
        y = static_cast<std::uint8_t>(y + sy);
        if (x == t.x && y == t.y)
            return;
        visit(x, y);
    }
}
