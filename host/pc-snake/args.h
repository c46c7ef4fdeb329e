// The command line of pc-snake: two numbers read like the C library's "%i"
// (decimal, 0x hexadecimal, 0 octal), and the check of their ranges.
#pragma once

#include <cstdint>
#include <cstdio>

// Reads a number as "%i" does: optional blanks and sign, then digits in the
// base its prefix gives; anything after the digits is ignored. On failure
// (no digits, or a value outside the signed 32-bit range) *out is untouched.
bool scan_int(const char *text, std::int32_t *out);

// Parses argv into level and frame (left as they are where a parse fails)
// and tells whether the pair may be run: exactly two arguments, level 1 to 4,
// frame above 0.
bool parse_args(int argc, const char *const *argv, std::int32_t *level, std::int32_t *frame);

// The German usage text on err, showing the values as they stand.
void print_usage(std::FILE *err, const char *program, std::int32_t level, std::int32_t frame);
