#include "host/signal/frame_beam.h"

frame_beam_t::frame_beam_t() : listening_(beam_listener_t{this, &frame_beam_t::on_tick}) {}

void frame_beam_t::on_tick(void *context, const beam_tick_t &tick)
{
    static_cast<frame_beam_t *>(context)->ticks_.push_back({tick.lit, tick.x, tick.y});
}
