// The beam of the frame heard last (or being painted), tick by tick, for the
// page: the tube's WebGL phosphor lights its points, the beam debugger shows
// them with their pass and painter state. A listener on the raster that also
// hears the frames played only for their light.
#pragma once

#include <cstdint>
#include <vector>

#include "host/sim/beam_listener.h"

// The frame's ticks so far, as the raster handed them out.
const std::vector<beam_tick_t> &web_frame_ticks();

// Bytes per tick in web_ticks(): x, y, from_x, from_y, flags (WEB_TICK_*),
// pass (beam_pass_t), painter state, 0. Tick i (from 0) is the frame's tick i + 1.
inline constexpr int WEB_TICK_BYTES = 8;
inline constexpr std::uint8_t WEB_TICK_LIT = 1;
inline constexpr std::uint8_t WEB_TICK_JOINED =
    2; // the display fills in the line from (from_x, from_y)
inline constexpr std::uint8_t WEB_TICK_FAULTED = 4;

// Registers the listener; once, when the module starts.
void web_ticks_listen();

extern "C" {
// The frame's ticks, WEB_TICK_BYTES each; web_tick_count() of them.
const std::uint8_t *web_ticks();
int web_tick_count();
// The frame: its number, its use (0 unheard, 1 light, 2 asked), whether it
// has ended, whether it broke off, then its ticks in total and by pass (texts,
// walls, food, head, body, end): 10 numbers.
const std::int32_t *web_frame_info();
}
