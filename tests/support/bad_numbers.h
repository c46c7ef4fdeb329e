// Values that no fractional option of either program takes, and the start of
// what the programs say about each.
#pragma once

struct bad_number_t {
    const char *text;
    const char *said; // after "OPTION: "
};

inline constexpr bad_number_t BAD_REALS[] = {
    {"nan", "'nan' is not a number; give a number"},
    {"inf", "'inf' is not a finite number; give a number"},
    {"-inf", "'-inf' is not a finite number; give a number"},
    {"1e309", "'1e309' is too large; give a number"},
    {"", "the value is empty; give a number"},
    {"0.5x", "'0.5x' is not a number; give a number"},
};
