#include "host/tube/tone_map.h"

#include <cmath>
#include <cstring>

#include "host/image/screen_color.h"

namespace {

double srgb_to_linear(double c)
{
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double linear_to_srgb(double l)
{
    return l <= 0.0031308 ? 12.92 * l : 1.055 * std::pow(l, 1 / 2.4) - 0.055;
}

// How fast the colour turns white with the response: only the brightest
// light, where the response nears 1, loses its green.
constexpr double WHITENING_POWER = 6.0;

// The GIF palette's steps are even in the response to this power, close to
// sRGB's own curve.
constexpr double GIF_STEP_GAMMA = 2.2;

} // namespace

double tone_map_t::response(double x) { return 1.0 - std::exp2(-x); }

std::array<std::uint8_t, 3> tone_map_t::color_of_response(double v)
{
    const double white = std::pow(v, WHITENING_POWER);
    std::array<std::uint8_t, 3> rgb{};
    for (std::size_t c = 0; c < rgb.size(); ++c) {
        const double hue = srgb_to_linear(BEAM_COLOR[c] / 255.0);
        const double linear = v * (hue + white * (1.0 - hue));
        rgb[c] = static_cast<std::uint8_t>(std::lround(255.0 * linear_to_srgb(linear)));
    }
    return rgb;
}

tone_map_t::tone_map_t(tube_palette_t palette) : table_(std::size_t(LAST) + 1)
{
    for (int i = 0; i <= LAST; ++i) {
        // The middle of the step's range of exposures.
        const std::uint32_t bits = (std::uint32_t(i + FIRST) << SHIFT) | (1u << (SHIFT - 1));
        double v = response(std::bit_cast<float>(bits));
        if (palette == tube_palette_t::gif) // even steps of about what the eye sees
            v = std::pow(std::round(std::pow(v, 1 / GIF_STEP_GAMMA) * (TUBE_GIF_LEVELS - 1)) /
                             (TUBE_GIF_LEVELS - 1),
                         GIF_STEP_GAMMA);
        const auto rgb = i == 0 ? std::array<std::uint8_t, 3>{} : color_of_response(v);
        std::memcpy(&table_[std::size_t(i)], rgb.data(), rgb.size());
    }
}

std::array<std::uint8_t, 3> tone_map_t::color(float x) const
{
    std::array<std::uint8_t, 3> rgb{};
    std::memcpy(rgb.data(), &table_[std::size_t(step_of(x))], rgb.size());
    return rgb;
}

void tone_map_t::paint(const float *x, int n, std::uint8_t *out) const
{
    if (n <= 0)
        return;
    steps_.resize(std::size_t(n));
    int *steps = steps_.data();
    for (int i = 0; i < n; ++i) // no lookups here, so that it runs on vectors
        steps[i] = step_of(x[i]);
    for (int i = 0; i < n - 1; ++i)
        std::memcpy(out + 3 * i, &table_[std::size_t(steps[i])], 4);
    std::memcpy(out + 3 * (n - 1), &table_[std::size_t(steps[n - 1])], 3);
}
