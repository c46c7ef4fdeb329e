#include "host/play/glow.h"

#include <algorithm>
#include <cmath>

double glow_decay(double persistence_ms, double frame_ms)
{
    if (persistence_ms <= 0.0)
        return 0.0;
    return std::pow(0.5, frame_ms / persistence_ms);
}

void glow_add_frame(glow_t &glow, const double *frame_pixels, double decay)
{
    for (std::size_t i = 0; i < glow.size(); ++i) {
        double faded = glow[i] * decay;
        if (faded < GLOW_FLOOR)
            faded = 0.0;
        glow[i] = std::max(frame_pixels[i], faded);
    }
}
