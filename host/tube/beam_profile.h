// The beam's spot along one axis of the picture: for each of the 256 screen
// coordinates, the share of a Gaussian spot that falls on each pixel (the
// spot integrated over the pixel), and the share of its edge, the
// Gaussian's integral, that a line ending there leaves on each pixel. Both
// are worked out once with erf, so that lighting a point or a line later
// costs only products.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "host/sim/screen.h"

class beam_profile_t {
  public:
    // Pixel i covers [i, i + 1); coordinate c's spot is centred at
    // origin + step * c (pixels), with standard deviation sigma (pixels).
    beam_profile_t(double origin, double step, double sigma);

    // Pixels each coordinate's spot reaches, the same for all.
    int taps() const { return taps_; }
    // The first pixel coordinate c reaches.
    int first(std::uint8_t c) const { return first_[c]; }
    // The spot's shares on pixels first(c) to first(c) + taps() - 1; they sum to 1.
    const float *spot(std::uint8_t c) const { return &spot_[std::size_t{c} * taps_]; }
    // The edge at c on pixel i: 0 well before it, 1 well past it, and in
    // between the integral over the pixel of the spot's cumulative share.
    float edge(std::uint8_t c, int pixel) const;
    // The centre of coordinate c's spot, in pixels.
    double centre(std::uint8_t c) const { return origin_ + step_ * c; }

  private:
    double origin_;
    double step_;
    int taps_;
    std::array<int, SCREEN_SIDE> first_{};
    std::vector<float> spot_; // 256 rows of taps_
    std::vector<float> edge_; // the same layout
};
