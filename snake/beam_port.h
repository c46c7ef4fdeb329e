// What the game module needs from its host: the two beam operations, one
// beam tick each, and the beam record whose tick counter the module resets
// at every frame start. Each host (the simulator, a test host, a live
// window) defines these itself.
#pragma once

#include <cstdint>

struct beam_t {
    std::uint16_t tick; // beam ticks of the current frame
};

extern beam_t beam;

void beam_xy(std::uint8_t x, std::uint8_t y); // one lit tick at (x, y)
void beam_skip();                             // one dark tick
