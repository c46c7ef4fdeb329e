// The afterglow buffer as a plain-text PPM ("P3", 256 x 256, maximum 255)
// inside the round screen mask. Every entry ends with a blank, every row
// with a newline; the bytes are the same on every platform.
#pragma once

#include <string>

#include "host/image/screen_color.h"

// Appends the image of pixel (256 * 256 values, element x * 256 + y) to out.
void write_ppm(const double *pixel, std::string &out);
