// From light to the colour on the screen: exposure x gives the phosphor's
// response 1 - 2^-x, shown in the beam's green that turns white as the
// response saturates, encoded as sRGB. One table holds the colour of every
// exposure, looked up by the exposure's own floating-point bits, so that a
// pixel costs no exp or pow; its steps are a tenth of a percent apart, finer
// than what 8-bit output can show.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <vector>

// The colours a picture may use: every step of the ramp, or at most 255 of
// them, so that the picture and the screen's surround fit a GIF palette.
enum class tube_palette_t { smooth, gif };

inline constexpr int TUBE_GIF_LEVELS = 255;

class tone_map_t {
  public:
    explicit tone_map_t(tube_palette_t palette);

    // The colour of exposure x (0 or more): red, green, blue.
    std::array<std::uint8_t, 3> color(float x) const;

    // The colours of exposures x[0 .. n) into out, 3 bytes each.
    void paint(const float *x, int n, std::uint8_t *out) const;

    // The response 1 - 2^-x and its colour, worked out in full: what the table holds.
    static double response(double x);
    static std::array<std::uint8_t, 3> color_of_response(double v);

  private:
    // 10 bits of the mantissa: 1024 steps per doubling of the exposure.
    static constexpr int SHIFT = 23 - 10;
    // From 2^-14, which shows black, to 2^6, which shows white.
    static constexpr int FIRST = (127 - 14) << 10;
    static constexpr int LAST = (20 << 10) - 1;
    static int step_of(float x)
    {
        const int i = static_cast<int>(std::bit_cast<std::uint32_t>(x) >> SHIFT) - FIRST;
        return i < 0 ? 0 : i > LAST ? LAST : i;
    }
    // Red, green and blue in a word's first three bytes in memory, so that
    // a pixel is one 4-byte copy (the fourth byte is the next pixel's red).
    std::vector<std::uint32_t> table_;
    mutable std::vector<int> steps_; // a row's steps, between the two loops of paint
};
