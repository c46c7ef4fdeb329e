#include "snake/snake_glyph.h"

#include "vector/glyph_format.h"

using glyph::GLYPH_FALLBACK;

// Each piece advances 7 pixels at size 1 and ends just left of the next cell's
// origin, so "$~~~'" strokes one unbroken wavy line.
// clang-format off
const std::array<std::uint8_t, SNAKE_GLYPH_SIZE> snake_glyph = {
    '$',  0x0D, 0x04, 0x03, 0x41, 0x3D, 0x39, 0x35, 0x51, 0x2D, 0x29, 0x25, 0x49, 0x2D, 0x31, // head
    '~',  0x24, 0x57, 0x31, 0x4D, 0x31,                                                     // body piece
    '\'', 0x22, 0x37, 0x31,                                                                 // tail
    GLYPH_FALLBACK, 0x01, 0x32,                                                             // any other character
};
// clang-format on
