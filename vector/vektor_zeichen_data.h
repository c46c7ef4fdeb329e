// The main stroke font table (85 entries, 933 bytes), read in place by the
// text stroker. The encoding is described in glyph_format.h.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t VEKTOR_ZEICHEN_DATA_SIZE = 933;
inline constexpr std::size_t VEKTOR_ZEICHEN_DATA_ENTRIES = 85;

extern const std::array<std::uint8_t, VEKTOR_ZEICHEN_DATA_SIZE> vektor_zeichen_data;
