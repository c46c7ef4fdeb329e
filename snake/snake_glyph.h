// The game module's own glyphs: the pieces of the little snake picture and
// the fallback glyph. The stroker reaches them through the main font's
// chaining entry; this unit carries nothing else of the game.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t SNAKE_GLYPH_SIZE = 28;
inline constexpr std::size_t SNAKE_GLYPH_ENTRIES = 4;

extern const std::array<std::uint8_t, SNAKE_GLYPH_SIZE> snake_glyph;
