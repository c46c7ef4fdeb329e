#include "host/play/glow.h"

#include <algorithm>
#include <cmath>

void glow_add_frame(glow_t &glow, const double *frame_pixels, double decay)
{
    for (std::size_t i = 0; i < glow.size(); ++i) {
        double faded = glow[i] * decay;
        if (faded < GLOW_FLOOR)
            faded = 0.0;
        glow[i] = std::max(frame_pixels[i], faded);
    }
}
