#include "host/tube/phosphor.h"

#include <algorithm>
#include <cmath>

namespace {

// Below this the one decay factor is folded into the light, before the
// light of new ticks, stored divided by it, could lose precision or range.
constexpr double RENORMALISE_BELOW = 1.0 / (1 << 20);

// Light below this (ticks per square point) has faded for good; it is set
// to 0 rather than left to sink into the slow denormal range. No exposure
// the options allow shows it.
constexpr float LIGHT_FLOOR = 1.0f / (1 << 24);

// The bloom reads 4 x 4 blocks that may pass the picture's edge by 3 pixels.
constexpr int BLOCK_SPILL = 4;

} // namespace

phosphor_t::phosphor_t(int size, double focus)
    : size_(size), scale_(size / 256.0), across_(0.5 * scale_, scale_, focus * scale_),
      down_(255.5 * scale_, -scale_, focus * scale_),
      margin_((across_.taps() - 1) / 2 + BLOCK_SPILL), stride_(size + 2 * margin_),
      light_(std::size_t(stride_) * stride_, 0.0f), lit_top_(stride_), lit_bottom_(-1)
{
}

void phosphor_t::note_rows(int top, int rows)
{
    lit_top_ = std::min(lit_top_, top);
    lit_bottom_ = std::max(lit_bottom_, top + rows - 1);
}

void phosphor_t::add_spot(std::uint8_t x, std::uint8_t y, float energy)
{
    const int taps = across_.taps();
    const float density = static_cast<float>(scale_ * scale_ / scale_now_) * energy;
    const float *kx = across_.spot(x);
    const float *ky = down_.spot(y);
    const int top = down_.first(y) + margin_;
    float *at = &light_[std::size_t(top) * stride_ + across_.first(x) + margin_];
    for (int r = 0; r < taps; ++r, at += stride_) {
        const float w = density * ky[r];
        for (int t = 0; t < taps; ++t)
            at[t] += w * kx[t];
    }
    note_rows(top, taps);
}

void phosphor_t::add_line(std::uint8_t x0, std::uint8_t y0, std::uint8_t x1, std::uint8_t y1,
                          float energy)
{
    if ((x0 == x1) == (y0 == y1)) { // a point, or a slanted line the display never joins
        add_spot(x1, y1, energy);
        return;
    }
    const bool across = y0 == y1;
    const beam_profile_t &along = across ? across_ : down_;
    // From the line's first pixel to its last: a rises from the start's edge,
    // b falls at the end's.
    std::uint8_t a = across ? x0 : y0;
    std::uint8_t b = across ? x1 : y1;
    if (along.centre(a) > along.centre(b))
        std::swap(a, b);
    const int first = along.first(a);
    const int count = along.first(b) + along.taps() - first;
    std::vector<float> &profile = profile_;
    profile.resize(static_cast<std::size_t>(count));
    double sum = 0.0;
    for (int i = 0; i < count; ++i) {
        profile[i] = along.edge(a, first + i) - along.edge(b, first + i);
        sum += profile[i];
    }
    const float density = static_cast<float>(scale_ * scale_ / scale_now_ / sum) * energy;

    const int taps = across_.taps();
    if (across) {
        const float *ky = down_.spot(y0);
        const int top = down_.first(y0) + margin_;
        float *at = &light_[std::size_t(top) * stride_ + first + margin_];
        for (int r = 0; r < taps; ++r, at += stride_) {
            const float w = density * ky[r];
            for (int i = 0; i < count; ++i)
                at[i] += w * profile[i];
        }
        note_rows(top, taps);
    } else {
        const float *kx = across_.spot(x0);
        const int top = first + margin_;
        float *at = &light_[std::size_t(top) * stride_ + across_.first(x0) + margin_];
        for (int r = 0; r < count; ++r, at += stride_) {
            const float w = density * profile[r];
            for (int t = 0; t < taps; ++t)
                at[t] += w * kx[t];
        }
        note_rows(top, count);
    }
}

void phosphor_t::decay(double factor)
{
    scale_now_ *= factor;
    if (scale_now_ == 0.0)
        clear();
    else if (scale_now_ < RENORMALISE_BELOW)
        renormalise();
}

void phosphor_t::clear()
{
    if (lit_bottom_ >= lit_top_)
        std::fill(light_.begin() + std::ptrdiff_t(lit_top_) * stride_,
                  light_.begin() + std::ptrdiff_t(lit_bottom_ + 1) * stride_, 0.0f);
    lit_top_ = stride_;
    lit_bottom_ = -1;
    scale_now_ = 1.0;
}

void phosphor_t::add_light(const phosphor_t &other, double factor)
{
    if (other.lit_bottom_ < other.lit_top_ || factor == 0.0)
        return;
    const float scale = static_cast<float>(factor * other.scale_now_ / scale_now_);
    const std::size_t from = std::size_t(other.lit_top_) * stride_;
    const std::size_t to = std::size_t(other.lit_bottom_ + 1) * stride_;
    for (std::size_t k = from; k < to; ++k)
        light_[k] += scale * other.light_[k];
    note_rows(other.lit_top_, other.lit_bottom_ - other.lit_top_ + 1);
}

void phosphor_t::renormalise()
{
    const float factor = static_cast<float>(scale_now_);
    int top = stride_;
    int bottom = -1;
    for (int r = lit_top_; r <= lit_bottom_; ++r) {
        float *row = &light_[std::size_t(r) * stride_];
        bool lit = false;
        for (int i = 0; i < stride_; ++i) {
            const float v = row[i] * factor;
            row[i] = v < LIGHT_FLOOR ? 0.0f : v;
            lit = lit || row[i] != 0.0f;
        }
        if (lit) {
            top = std::min(top, r);
            bottom = r;
        }
    }
    lit_top_ = top;
    lit_bottom_ = bottom;
    scale_now_ = 1.0;
}

double phosphor_t::energy() const
{
    double sum = 0.0;
    for (const float v : light_)
        sum += v;
    return sum * scale_now_ / (scale_ * scale_);
}
