// Messages on the screen (pause, a stopped game) in the game's own stroke
// font: the stroker's points go into a mask over the picture instead of
// onto the beam, so they never mix with the glow.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "host/sim/screen.h"

// 1 where a message covers the screen; element x * 256 + y like the glow.
using overlay_t = std::array<std::uint8_t, SCREEN_POINTS>;

// Width in pixels of one line of text at `size` (no line breaks).
int text_width(std::string_view line, std::uint8_t size);

// Draws each line of text (lines split at '\n') centred across the screen,
// the first baseline at `top_y`, lines 8 * size + 3 apart.
void overlay_centred(overlay_t &overlay, std::string_view text, std::uint8_t top_y,
                     std::uint8_t size);
