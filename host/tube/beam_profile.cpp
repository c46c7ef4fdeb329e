#include "host/tube/beam_profile.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "host/sim/screen.h"

namespace {

// The spot reaches this many standard deviations; what lies beyond is
// given back to the rest by normalising.
constexpr double REACH_SIGMAS = 4.0;

double normal_cdf(double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); }

double normal_pdf(double z) { return std::exp(-0.5 * z * z) / std::sqrt(2.0 * std::numbers::pi); }

// The integral of normal_cdf from minus infinity to z.
double normal_cdf_integral(double z) { return z * normal_cdf(z) + normal_pdf(z); }

} // namespace

beam_profile_t::beam_profile_t(double origin, double step, double sigma)
    : origin_(origin), step_(step)
{
    const int reach = std::max(1, static_cast<int>(std::ceil(REACH_SIGMAS * sigma)));
    taps_ = 2 * reach + 1;
    spot_.resize(std::size_t{SCREEN_SIDE} * taps_);
    edge_.resize(spot_.size());
    for (int c = 0; c < SCREEN_SIDE; ++c) {
        const double centre = origin + step * c;
        first_[c] = static_cast<int>(std::floor(centre)) - reach;
        float *spot = &spot_[std::size_t(c) * taps_];
        float *edge = &edge_[std::size_t(c) * taps_];
        double sum = 0.0;
        std::vector<double> share(taps_);
        for (int t = 0; t < taps_; ++t) {
            const double lo = (first_[c] + t - centre) / sigma;
            const double hi = lo + 1.0 / sigma;
            share[t] = normal_cdf(hi) - normal_cdf(lo);
            sum += share[t];
            const double covered = sigma * (normal_cdf_integral(hi) - normal_cdf_integral(lo));
            edge[t] = static_cast<float>(std::clamp(covered, 0.0, 1.0));
        }
        for (int t = 0; t < taps_; ++t)
            spot[t] = static_cast<float>(share[t] / sum);
    }
}

float beam_profile_t::edge(std::uint8_t c, int pixel) const
{
    const int t = pixel - first_[c];
    if (t < 0)
        return 0.0f;
    if (t >= taps_)
        return 1.0f;
    return edge_[std::size_t{c} * taps_ + t];
}
