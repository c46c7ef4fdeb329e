// The glyph table that the main font's chaining entry continues into. The
// lettering only declares it: the program that uses the lettering defines it
// (the game module, with its own glyphs), ending it with the fallback entry.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t SNAKE_GLYPH_SIZE = 28;

extern const std::array<std::uint8_t, SNAKE_GLYPH_SIZE> snake_glyph;
