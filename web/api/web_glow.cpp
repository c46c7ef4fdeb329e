#include "web/api/web_glow.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "host/sim/afterglow.h"
#include "host/sim/beam_raster.h"
#include "host/tube/tube.h"
#include "web/api/web_export.h"
#include "web/api/web_picture.h"

namespace {

// Half-lives after which a glow of 1 is below the floor: log2(1 / floor).
constexpr double HALF_LIVES_TO_FLOOR = 10.0;

struct glow_keeper_t {
    afterglow_t frame;                        // the frame being heard
    std::array<double, SCREEN_POINTS> glow{}; // what the screen shows
    std::array<std::uint8_t, WEB_RGBA_BYTES> rgba{};
    double persistence_ms = 0.0;
    double frame_ms = 0.0;
    int tick_rate = BEAM_TICK_RATE_DEFAULT;
};

glow_keeper_t keeper;

double frame_ms_of(int ticks)
{
    return keeper.frame_ms > 0.0 ? keeper.frame_ms : 1000.0 * ticks / keeper.tick_rate;
}

void on_tick(void *, const beam_tick_t &tick) { afterglow_light(&keeper.frame, tick); }

void on_frame_begin(void *, const beam_frame_t &) { afterglow_clear(&keeper.frame); }

void on_frame_end(void *, const beam_frame_end_t &end)
{
    const double decay = decay_after(frame_ms_of(end.budget->total), keeper.persistence_ms);
    for (std::size_t i = 0; i < keeper.glow.size(); ++i) {
        double faded = keeper.glow[i] * decay;
        if (faded < WEB_GLOW_FLOOR)
            faded = 0.0;
        keeper.glow[i] = std::max(keeper.frame.pixel[i], faded);
    }
}

std::optional<beam_listening_t> listening;

} // namespace

void web_glow_listen()
{
    if (!listening)
        listening.emplace(beam_listener_t{nullptr, on_tick, on_frame_begin, on_frame_end, true});
}

WEB_EXPORT("web_glow_set") void web_glow_set(double persistence_ms, double frame_ms, int tick_rate)
{
    keeper.persistence_ms = std::max(0.0, persistence_ms);
    keeper.frame_ms = std::max(0.0, frame_ms);
    keeper.tick_rate = std::max(1, tick_rate);
}

WEB_EXPORT("web_glow_clear") void web_glow_clear() { keeper.glow.fill(0.0); }

WEB_EXPORT("web_glow_history") int web_glow_history()
{
    if (keeper.persistence_ms <= 0.0)
        return 0;
    const double shortest_ms =
        keeper.frame_ms > 0.0 ? keeper.frame_ms : 1000.0 * TUBE_FRAME_TICKS_MIN / keeper.tick_rate;
    const double frames = std::ceil(HALF_LIVES_TO_FLOOR * keeper.persistence_ms / shortest_ms);
    return static_cast<int>(std::min(frames, 1e6)) + 1;
}

WEB_EXPORT("web_exact_rgba") const unsigned char *web_exact_rgba()
{
    web_rgba_of(keeper.glow.data(), keeper.rgba.data());
    return keeper.rgba.data();
}
