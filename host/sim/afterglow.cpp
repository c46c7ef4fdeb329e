#include "host/sim/afterglow.h"

#include "host/sim/filled_points.h"

void afterglow_clear(afterglow_t *glow) { glow->pixel.fill(0.0); }

void heller(afterglow_t *glow, std::uint8_t x, std::uint8_t y, double w)
{
    double &p = glow->pixel[screen_index(x, y)];
    p = 1.0 - (1.0 - w) * (1.0 - p);
}

void afterglow_light(afterglow_t *glow, const beam_tick_t &tick)
{
    if (!tick.lit || tick.faulted)
        return;
    for_each_filled_point(
        tick, [glow](std::uint8_t x, std::uint8_t y) { heller(glow, x, y, BEAM_WEIGHT_FILLED); });
    heller(glow, tick.x, tick.y, BEAM_WEIGHT_POINT);
}

namespace {

void on_tick(void *glow, const beam_tick_t &tick)
{
    afterglow_light(static_cast<afterglow_t *>(glow), tick);
}

void on_frame_begin(void *glow, const beam_frame_t &)
{
    afterglow_clear(static_cast<afterglow_t *>(glow));
}

} // namespace

beam_listener_t afterglow_listener(afterglow_t *glow) { return {glow, on_tick, on_frame_begin}; }
