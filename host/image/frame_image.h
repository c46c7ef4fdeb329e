// The afterglow buffer as an RGB picture in memory, in the same colours as
// the PPM text, for the PNG and GIF writers; and its enlargement by a whole
// factor, each point a square of equal pixels.
#pragma once

#include <cstdint>
#include <vector>

inline constexpr int IMAGE_SCALE_MAX = 8;

struct rgb_image_t {
    int width;                     // pixels per row
    int height;                    // rows
    std::vector<std::uint8_t> rgb; // rows from the top, 3 bytes (red, green, blue) per pixel

    bool operator==(const rgb_image_t &) const = default;
};

// Positive sizes and exactly 3 bytes per pixel; the writers refuse anything else.
bool rgb_image_valid(const rgb_image_t &image);

// The 256 x 256 picture of pixel (element x * 256 + y); its top row is y = 255.
rgb_image_t frame_image(const double *pixel);

// Nearest neighbour; a scale outside 1 to IMAGE_SCALE_MAX or an invalid image
// gives an empty image, which no writer takes.
rgb_image_t scale_image(const rgb_image_t &image, int scale);
