// The frames a render covers: one frame "N", a range "A-B", or every STEP-th
// frame of a range "A-B/STEP". Frame numbers are pc-snake's, 1 to 2147483647.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct frame_range_t {
    std::int64_t first = 1;
    std::int64_t last = 1; // the last frame rendered: first + k * step
    std::int64_t step = 1;
};

// On a fault returns false with what is wrong.
bool parse_frame_range(std::string_view text, frame_range_t *out, std::string *error);

// How many frames the range renders.
std::int64_t frame_count(const frame_range_t &range);
