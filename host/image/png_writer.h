// An RGB picture as the bytes of a PNG file (8 bits per channel, no alpha,
// marked sRGB), encoded by libpng into memory. The compression suits the
// picture: few colours (the exact look, a trace) are packed hard, smooth
// pictures (the tube's) quickly. The same picture always gives the same
// bytes: no time stamp or other chunk that depends on when or where it was
// written.
#pragma once

#include <cstdint>
#include <vector>

#include "host/image/frame_image.h"

// Throws std::invalid_argument for an invalid image and std::runtime_error,
// with libpng's message, if the encoder fails.
std::vector<std::uint8_t> encode_png(const rgb_image_t &image);
