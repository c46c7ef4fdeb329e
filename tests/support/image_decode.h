// Reading images back in tests: PNG through libpng, GIF through giflib (each
// frame as a viewer shows it), and pc-snake's P3 text, all as RGB pictures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/image/frame_image.h"

// An empty picture (width 0) and a test failure when the bytes do not decode.
rgb_image_t decode_png(const std::vector<std::uint8_t> &bytes);
rgb_image_t decode_ppm(const std::string &text);

struct gif_movie_t {
    int width = 0;
    int height = 0;
    std::vector<rgb_image_t> frames; // each drawn over the one before
    std::vector<int> delays_cs;      // per frame, from its control extension
    bool loops = false;              // a NETSCAPE2.0 loop extension is present
};
gif_movie_t decode_gif(const std::vector<std::uint8_t> &bytes);

std::vector<std::uint8_t> read_file(const std::string &path);
std::string read_text(const std::string &path);
