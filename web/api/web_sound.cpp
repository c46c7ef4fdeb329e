#include "web/api/web_sound.h"

#include <memory>
#include <optional>
#include <vector>

#include "host/signal/beam_signal.h"
#include "host/sim/beam_raster.h"
#include "web/api/web_export.h"

namespace {

std::unique_ptr<beam_signal_t> signal;
std::vector<beam_point_t> frame; // the ticks of the frame being heard

void on_tick(void *, const beam_tick_t &tick) { frame.push_back({tick.lit, tick.x, tick.y}); }

void on_frame_begin(void *, const beam_frame_t &) { frame.clear(); }

void on_frame_end(void *, const beam_frame_end_t &end)
{
    if (signal && end.fault == nullptr)
        signal->add(frame);
    frame.clear();
}

std::optional<beam_listening_t> listening;

} // namespace

void web_sound_listen()
{
    if (!listening)
        listening.emplace(beam_listener_t{nullptr, on_tick, on_frame_begin, on_frame_end});
}

WEB_EXPORT("web_sound_start") void web_sound_start(int rate, int tick_rate, double gain)
{
    signal_format_t format;
    format.rate = rate;
    format.tick_rate = tick_rate;
    format.gain = gain;
    signal = std::make_unique<beam_signal_t>(format);
}

WEB_EXPORT("web_sound_stop") void web_sound_stop() { signal.reset(); }

WEB_EXPORT("web_sound_samples") const float *web_sound_samples()
{
    return signal ? signal->values().data() : nullptr;
}

WEB_EXPORT("web_sound_count") int web_sound_count()
{
    return signal ? static_cast<int>(signal->values().size()) : 0;
}

WEB_EXPORT("web_sound_take") void web_sound_take()
{
    if (signal)
        signal->values().clear();
}

WEB_EXPORT("web_sound_finish") void web_sound_finish()
{
    if (signal)
        signal->finish();
}
