#include "host/tube/bloom.h"

#include <algorithm>
#include <cmath>

namespace {

// The halo's two widths, standard deviations in screen points.
constexpr double NEAR_HALO_POINTS = 2.0;
constexpr double FAR_HALO_POINTS = 8.0;

int shrunk(int side) { return (side + BLOOM_STEP - 1) / BLOOM_STEP; }

std::vector<float> gaussian_kernel(double sigma)
{
    const int reach = std::max(1, static_cast<int>(std::ceil(3.0 * sigma)));
    std::vector<float> k(std::size_t(2 * reach + 1));
    double sum = 0.0;
    for (int i = -reach; i <= reach; ++i) {
        const double w = std::exp(-0.5 * i * i / (sigma * sigma));
        k[std::size_t(i + reach)] = static_cast<float>(w);
        sum += w;
    }
    for (float &w : k)
        w = static_cast<float>(w / sum);
    return k;
}

// Light that the blur carries past the edge is gone: off the screen.
void blur(std::vector<float> &pixels, int side, const std::vector<float> &kernel,
          std::vector<float> &scratch)
{
    const int reach = static_cast<int>(kernel.size() / 2);
    scratch.assign(pixels.size(), 0.0f);
    for (int y = 0; y < side; ++y) { // along rows: one weighted copy of the row per tap
        const float *in = &pixels[std::size_t(y) * side];
        float *out = &scratch[std::size_t(y) * side];
        for (int k = -reach; k <= reach; ++k) {
            const float w = kernel[std::size_t(k + reach)];
            const int lo = std::max(0, -k);
            const int hi = std::min(side, side - k);
            for (int x = lo; x < hi; ++x)
                out[x] += w * in[x + k];
        }
    }
    std::fill(pixels.begin(), pixels.end(), 0.0f);
    for (int y = 0; y < side; ++y) { // down columns: whole rows at a time
        float *out = &pixels[std::size_t(y) * side];
        for (int k = std::max(-reach, -y); k <= std::min(reach, side - 1 - y); ++k) {
            const float w = kernel[std::size_t(k + reach)];
            const float *in = &scratch[std::size_t(y + k) * side];
            for (int x = 0; x < side; ++x)
                out[x] += w * in[x];
        }
    }
}

// Mean of each 4 x 4 block of a level.
void shrink(const std::vector<float> &from, int from_side, std::vector<float> &to, int to_side)
{
    to.assign(std::size_t(to_side) * to_side, 0.0f);
    for (int y = 0; y < from_side; ++y) {
        const float *in = &from[std::size_t(y) * from_side];
        float *out = &to[std::size_t(y / BLOOM_STEP) * to_side];
        for (int x = 0; x < from_side; ++x)
            out[x / BLOOM_STEP] += in[x];
    }
    for (float &v : to)
        v *= 1.0f / (BLOOM_STEP * BLOOM_STEP);
}

} // namespace

bloom_t::taps_t bloom_t::taps_for(int out_side, int level_side)
{
    taps_t taps(static_cast<std::size_t>(out_side));
    for (int i = 0; i < out_side; ++i) {
        const double u = (i + 0.5) / BLOOM_STEP - 0.5;
        const int lo = static_cast<int>(std::floor(u));
        taps[i] = {std::clamp(lo, 0, level_side - 1), std::clamp(lo + 1, 0, level_side - 1),
                   static_cast<float>(u - lo)};
    }
    return taps;
}

// Row j of a level, enlarged BLOOM_STEP times along both axes: 4 * side values.
// Along the row each output pixel lies at one of four fixed places between
// two of the level's pixels (-3/8, -1/8, +1/8, +3/8 of a pixel from one).
void bloom_t::enlarge_row(const std::vector<float> &level, int side, const taps_t &taps, int j,
                          float *row, float *out)
{
    const tap_t v = taps[std::size_t(j)];
    const float *a = &level[std::size_t(v.lo) * side];
    const float *b = &level[std::size_t(v.hi) * side];
    float *mid = row + 1; // row[0] and row[side + 1] repeat the edges
    for (int x = 0; x < side; ++x)
        mid[x] = a[x] + v.w * (b[x] - a[x]);
    row[0] = mid[0];
    row[side + 1] = mid[side - 1];
    for (int k = 0; k < side; ++k) {
        const float before = row[k];
        const float here = row[k + 1];
        const float after = row[k + 2];
        out[4 * k] = before + 0.625f * (here - before);
        out[4 * k + 1] = before + 0.875f * (here - before);
        out[4 * k + 2] = here + 0.125f * (after - here);
        out[4 * k + 3] = here + 0.375f * (after - here);
    }
}

bloom_t::bloom_t(int size)
{
    const double pixels_per_point = size / 256.0;
    quarter_.side = shrunk(size);
    sixteenth_.side = shrunk(quarter_.side);
    quarter_.kernel = gaussian_kernel(NEAR_HALO_POINTS * pixels_per_point / BLOOM_STEP);
    sixteenth_.kernel =
        gaussian_kernel(FAR_HALO_POINTS * pixels_per_point / (BLOOM_STEP * BLOOM_STEP));
    halo_.resize(std::size_t(quarter_.side) * quarter_.side);
    to_full_ = taps_for(size, quarter_.side);
    to_quarter_ = taps_for(quarter_.side, sixteenth_.side);
    row_.resize(std::size_t(quarter_.side) + 2);
    wide_.resize(std::size_t(BLOOM_STEP) * sixteenth_.side);
}

void bloom_t::build(const phosphor_t &light)
{
    level_t &q = quarter_;
    q.pixels.assign(std::size_t(q.side) * q.side, 0.0f);
    const int top = std::max(0, light.first_lit_row());
    const int bottom = std::min(q.side * BLOOM_STEP - 1, light.last_lit_row());
    // Whole blocks: the last may reach into the light's margin.
    const int width = q.side * BLOOM_STEP;
    for (int y = top; y <= bottom; ++y) {
        const float *in = light.row(y);
        float *out = &q.pixels[std::size_t(y / BLOOM_STEP) * q.side];
        for (int x = 0; x < width; x += BLOOM_STEP)
            out[x / BLOOM_STEP] += in[x] + in[x + 1] + in[x + 2] + in[x + 3];
    }
    for (float &v : q.pixels)
        v *= 1.0f / (BLOOM_STEP * BLOOM_STEP);
    shrink(q.pixels, q.side, sixteenth_.pixels, sixteenth_.side);
    blur(q.pixels, q.side, q.kernel, scratch_);
    blur(sixteenth_.pixels, sixteenth_.side, sixteenth_.kernel, scratch_);

    float *far = wide_.data();
    for (int j = 0; j < q.side; ++j) {
        enlarge_row(sixteenth_.pixels, sixteenth_.side, to_quarter_, j, row_.data(), far);
        float *out = &halo_[std::size_t(j) * q.side];
        const float *near = &q.pixels[std::size_t(j) * q.side];
        for (int x = 0; x < q.side; ++x)
            out[x] = 0.5f * (far[x] + near[x]);
    }
}

void bloom_t::halo_row(int j, float *out) const
{
    enlarge_row(halo_, quarter_.side, to_full_, j, row_.data(), out);
}
