// The colour of one point of the round screen, the one rule that every image
// writer (the PPM text, the RGB frames behind PNG and GIF) follows: a fixed
// colour outside the disc, the afterglow times the beam colour inside it.
#pragma once

#include <array>
#include <cstdint>

#include "host/sim/screen.h"

// Colour multipliers red, green, blue.
inline constexpr std::array<std::int32_t, 3> BEAM_COLOR = {0, 255, 100};

// Red, green, blue, 0 to 255.
using screen_rgb_t = std::array<std::uint8_t, 3>;

inline constexpr screen_rgb_t SCREEN_OUTSIDE = {60, 50, 50};

// The colour of afterglow v (0 to 1) on the screen.
inline screen_rgb_t beam_color(double v)
{
    screen_rgb_t rgb{};
    if (v == 0.0)
        return rgb; // most of the screen: spare it the products
    for (std::size_t c = 0; c < rgb.size(); ++c) {
        // Truncated toward zero, then kept to multiples of 16.
        rgb[c] = static_cast<std::uint8_t>(static_cast<int>(v * BEAM_COLOR[c]) & 0xF0);
    }
    return rgb;
}

// The colour of (x, y), y upwards, from the afterglow (element screen_index(x, y)).
inline screen_rgb_t screen_color(const double *pixel, int x, int y)
{
    if (!on_screen(x, y))
        return SCREEN_OUTSIDE;
    return beam_color(pixel[x * SCREEN_SIDE + y]);
}
