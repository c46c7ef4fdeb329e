// The phosphor's stored light at the picture's size, in floating point: a
// point of the beam leaves a Gaussian spot, a moving beam the same energy
// spread along its line, and the light decays by a factor per frame. Light
// is an energy density in beam ticks per square screen point (a screen
// point is 1/256 of the side), so pictures of any size show the same.
// Around the picture a margin as wide as a spot reaches takes what falls
// off its edge, so every tick's energy is kept whole.
#pragma once

#include <cstdint>
#include <vector>

#include "host/tube/beam_profile.h"

class phosphor_t {
  public:
    // A picture of size x size pixels; the spot's standard deviation is
    // `focus` screen points.
    phosphor_t(int size, double focus);

    int size() const { return size_; }
    double pixels_per_point() const { return scale_; }

    // A point lit for one tick of `energy`.
    void add_spot(std::uint8_t x, std::uint8_t y, float energy);
    // The beam moving from one point to another during a tick: its energy
    // spread evenly along the line between them. Lines are horizontal or
    // vertical; any other is lit as a spot at its end.
    void add_line(std::uint8_t x0, std::uint8_t y0, std::uint8_t x1, std::uint8_t y1, float energy);

    // The stored light times `decay` (0 to 1): all of it, lazily.
    void decay(double factor);
    void clear();
    // The light plus `factor` (0 or more) times the light of `other`, a
    // phosphor of the same size and focus: the sum of what each would show.
    void add_light(const phosphor_t &other, double factor);

    // Picture row j (0 at the top), its `size()` pixels from the left, in
    // stored units: the light is row(j)[i] * stored_scale().
    const float *row(int j) const { return &light_[std::size_t(j + margin_) * stride_ + margin_]; }
    float stored_scale() const { return static_cast<float>(scale_now_); }
    // Rows of the picture that may hold light: [first_lit_row, last_lit_row].
    int first_lit_row() const { return lit_top_ - margin_; }
    int last_lit_row() const { return lit_bottom_ - margin_; }

    // All light stored, margin included, in beam ticks.
    double energy() const;

  private:
    void note_rows(int top, int rows);
    void renormalise();

    int size_;
    double scale_;          // pixels per screen point
    beam_profile_t across_; // x: left to right
    beam_profile_t down_;   // y: the screen's y upwards, the picture's rows downwards
    int margin_;
    int stride_;
    std::vector<float> light_;   // (size + 2 margin) rows of stride_
    std::vector<float> profile_; // a line's shares along it, while it is lit
    // Decay is kept as one factor instead of touching every pixel each
    // frame: light = stored * scale_now_; new light is stored divided by it.
    double scale_now_ = 1.0;
    int lit_top_;    // buffer rows that may hold light, inclusive
    int lit_bottom_; // (empty when lit_bottom_ < lit_top_)
};
