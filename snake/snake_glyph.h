// The game module's own glyphs: the pieces of the little snake picture and
// the fallback glyph, defined here for the table the lettering's chaining
// entry continues into.
#pragma once

#include <cstddef>

#include "vector/glyph_chain.h"

inline constexpr std::size_t SNAKE_GLYPH_ENTRIES = 4;
