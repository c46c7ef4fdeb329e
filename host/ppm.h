// The afterglow buffer as a plain-text PPM ("P3", 256 x 256, maximum 255)
// inside the round screen mask. Every entry ends with a blank, every row
// with a newline; the bytes are the same on every platform.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// Colour multipliers red, green, blue.
inline constexpr std::array<std::int32_t, 3> BEAM_COLOR = {0, 255, 100};

// Appends the image of pixel (256 * 256 values, element x * 256 + y) to out.
void write_ppm(const double *pixel, std::string &out);
