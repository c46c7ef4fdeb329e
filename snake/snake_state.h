// What the game module keeps outside the host's record: the stroker's record,
// the three texts and the status byte. Together with the record and the
// generator's seed this is everything the module carries from one call to
// the next, so a host can tell whether a game has come back to a moment it
// has already seen.
#pragma once

#include <cstdint>

#include "vector/vektor_zeichen.h"

inline constexpr std::uint8_t SNAKE_TEXT_ITEMS = 3;
inline constexpr std::uint8_t SNAKE_TEXT_SIZE = 30;

struct snake_statics_t {
    drawinfo_t drawinfo;                          // the stroker's record
    char text[SNAKE_TEXT_ITEMS][SNAKE_TEXT_SIZE]; // every byte, those after the NUL too
    std::uint8_t sreg;                            // the status byte

    friend bool operator==(const snake_statics_t &, const snake_statics_t &) = default;
};

// A copy of the module's statics as they stand.
snake_statics_t snake_statics();
