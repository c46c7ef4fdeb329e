// Multiplication in GF(2^15) and the pseudo-random generator built on it.
// Only shifts, tests and XOR on 16-bit values: the same sequence on every
// machine, period 32767, never 0.
#pragma once

#include <cstdint>

namespace parith {

// x^15 + x^14 + x^13 + x^8 + x^5 + x^2 + 1, bit 15 standing for x^15.
inline constexpr std::uint16_t FIELD_POLY = 0xE125;
// x^13 + x^9: of order 32767, so it walks through every nonzero element.
inline constexpr std::uint16_t RANDOM_MULTIPLIER = 0x2200;
inline constexpr std::uint16_t INITIAL_SEED = 0x2200;

} // namespace parith

// Generator state; a nonzero field element.
extern std::uint16_t seed;

// Product of a and b in the field; a must be below 0x8000, b may use all 16 bits.
std::uint16_t pprod(std::uint16_t a, std::uint16_t b);

// Advances the state and returns it: 1 to 0x7FFF.
std::uint16_t prandom();

// Sets the state from the low 15 bits of s; 0 becomes 1 so the state never dies.
void set_seed(std::uint16_t s);
