// The screen the beam draws on: 256 points a side, addressed by the bytes the
// module gives (x to the right, y upwards), stored column by column.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr int SCREEN_SIDE = 256;
inline constexpr std::size_t SCREEN_POINTS = std::size_t{SCREEN_SIDE} * SCREEN_SIDE;

// The element of (x, y) in a buffer of the screen: x * 256 + y.
constexpr std::size_t screen_index(std::uint8_t x, std::uint8_t y)
{
    return std::size_t{x} * SCREEN_SIDE + y;
}

// The round screen: points within this squared distance of (128, 128), one
// less than 126 squared; the corners outside it show no beam.
inline constexpr int SCREEN_DISC_LIMIT = 15875;

inline constexpr bool on_screen(int x, int y)
{
    constexpr int centre = SCREEN_SIDE / 2;
    const int dx = x - centre;
    const int dy = y - centre;
    return dx * dx + dy * dy <= SCREEN_DISC_LIMIT;
}
