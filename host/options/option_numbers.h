// Numbers given on the command line, read one way for every option of both
// programs: a whole number (decimal, or hexadecimal with 0x) or a finite
// decimal one, within its range. What is wrong with a value is said about
// the value as given (quoted as key-script words are), never as a crash.
#pragma once

#include <string>
#include <string_view>

struct number_range_t {
    bool whole;            // a whole number, not one with a fraction or an exponent
    double lo, hi;         // the bounds, inclusive
    bool above_lo = false; // lo itself is refused (a gain of 0 draws nothing)
};

// On a fault returns what is wrong, e.g. "'nan' is not a number; give a
// number from 0 to 10000"; otherwise an empty text with the value in *value.
std::string read_number(std::string_view text, const number_range_t &range, double *value);

// "a whole number from 1 to 32767", "a number above 0, up to 1": the range
// as the messages name it.
std::string range_text(const number_range_t &range);
