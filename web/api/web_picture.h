// The exact picture as the page shows it: 256 x 256 RGBA, rows from the top,
// each point in the colour pc-snake prints for it (screen_color), opaque.
#pragma once

#include <cstdint>

inline constexpr int WEB_RGBA_BYTES = 4 * 256 * 256;

// Fills out (WEB_RGBA_BYTES) from an afterglow buffer (element x * 256 + y).
void web_rgba_of(const double *pixel, std::uint8_t *out);
