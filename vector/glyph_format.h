// Constants of the stroke-font byte encoding shared by every glyph table.
// An entry is: code, header (bits 4-0 stroke-byte count, bit 5 centre in
// fixed pitch, bits 7-6 proportional narrowing k), then the stroke bytes.
#pragma once

#include <cstdint>

namespace glyph {

// Codes with a meaning for the lookup rather than a character.
inline constexpr std::uint8_t GLYPH_CHAIN = 1;    // search on in the module table
inline constexpr std::uint8_t GLYPH_FALLBACK = 2; // stands for every character not found

// Header fields.
inline constexpr std::uint8_t HDR_LEN_MASK = 0x1F;
inline constexpr std::uint8_t HDR_CENTRED = 0x20;
inline constexpr unsigned HDR_NARROW_SHIFT = 6;

// A stroke byte below this begins a two-byte move; anything else is a line.
inline constexpr std::uint8_t MOVE_LIMIT = 32;
inline constexpr std::uint8_t MOVE_SQUASH = 0x80; // in the move's second byte

// Line bits.
inline constexpr std::uint8_t LINE_END = 0x01;
inline constexpr std::uint8_t LINE_START = 0x02;

// Lines of length 7 downwards-left are never drawn; these four bytes mean this instead.
inline constexpr std::uint8_t DOT_LEFT = 0xE4;
inline constexpr std::uint8_t STUB_DOWN = 0xE5;
inline constexpr std::uint8_t DOT_RIGHT = 0xE6;
inline constexpr std::uint8_t STUB_UP = 0xE7;

} // namespace glyph
