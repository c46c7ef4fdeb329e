// What the game module, its lettering and the random generator keep between
// calls outside the host's record: the stroker's record, the three texts, the
// status byte and the generator's state. A host compares copies of it to tell
// whether a game has come back to a moment it has already seen, so every
// variable these units keep at file scope is named in MODULE_STATICS below,
// and a test holds that list against the symbols of their object files.
#pragma once

#include <array>
#include <cstdint>

#include "vector/vektor_zeichen.h"

inline constexpr std::uint8_t SNAKE_TEXT_ITEMS = 3;
inline constexpr std::uint8_t SNAKE_TEXT_SIZE = 30;

struct snake_statics_t {
    drawinfo_t drawinfo;                          // the stroker's record
    char text[SNAKE_TEXT_ITEMS][SNAKE_TEXT_SIZE]; // every byte, those after the NUL too
    std::uint8_t sreg;                            // the status byte
    std::uint16_t seed;                           // the generator's state

    friend bool operator==(const snake_statics_t &, const snake_statics_t &) = default;
};

// A copy of the module's statics as they stand.
snake_statics_t snake_statics();

// A variable kept at file scope, by its name in the object files, and the
// size of its copy in snake_statics_t (0: not part of the state, and why).
struct module_static_t {
    const char *symbol;
    std::size_t copied_bytes;
    const char *note;
};

inline constexpr std::array<module_static_t, 5> MODULE_STATICS = {{
    {"drawinfo", sizeof(drawinfo_t), "snake_statics_t::drawinfo"},
    {"snake_text", sizeof(snake_statics_t::text), "snake_statics_t::text"},
    {"SREG", sizeof(std::uint8_t), "snake_statics_t::sreg"},
    {"seed", sizeof(std::uint16_t), "snake_statics_t::seed"},
    {"(anonymous namespace)::found_glyphs", 0,
     "the stroker's memo of glyph lookups in constant tables; it changes no output"},
}};
