#include "web/api/web_stepper.h"

#include <algorithm>
#include <array>

#include "host/sim/afterglow.h"
#include "host/sim/beam_raster.h"
#include "web/api/web_export.h"
#include "web/api/web_game.h"
#include "web/api/web_picture.h"
#include "web/api/web_ticks.h"

namespace {

struct stepper_t {
    bool open = false;     // a frame is being stepped through
    bool painted = false;  // its painter has finished it, or the beam broke it off
    std::size_t shown = 0; // its first `shown` ticks are on the screen
    afterglow_t glow;      // lit by the ticks shown
    std::array<std::uint8_t, WEB_RGBA_BYTES> rgba{};
};

stepper_t stepper;

void begin_frame()
{
    raster_begin_frame(web_game.run.drawn + 1, frame_use_t::asked);
    stepper.open = true;
    stepper.painted = false;
    stepper.shown = 0;
    afterglow_clear(&stepper.glow);
}

// The painter may send two ticks in one call: it is painted only as far as
// the ticks wanted, and may be one tick ahead of them.
void show_next_tick()
{
    const std::vector<beam_tick_t> &ticks = web_frame_ticks();
    const std::size_t want = stepper.shown + 1;
    while (ticks.size() < want && !stepper.painted)
        stepper.painted = raster_paint_step(&web_game.run.game);
    for (; stepper.shown < std::min(want, ticks.size()); ++stepper.shown)
        afterglow_light(&stepper.glow, ticks[stepper.shown]);
}

} // namespace

bool web_stepper_open() { return stepper.open; }

void web_stepper_finish()
{
    if (!stepper.open)
        return;
    while (!stepper.painted)
        stepper.painted = raster_paint_step(&web_game.run.game);
    stepper.open = false;
    web_game_end_frame();
}

void web_stepper_drop() { stepper.open = false; }

WEB_EXPORT("web_step_tick") int web_step_tick()
{
    if (!stepper.open) {
        if (web_game.stopped)
            return WEB_STEP_NONE;
        begin_frame();
    } else if (stepper.painted && stepper.shown == web_frame_ticks().size()) {
        web_stepper_finish();
        return WEB_STEP_ENDED;
    }
    show_next_tick();
    return WEB_STEP_TICK;
}

WEB_EXPORT("web_step_shown") int web_step_shown() { return static_cast<int>(stepper.shown); }

WEB_EXPORT("web_step_rgba") const unsigned char *web_step_rgba()
{
    web_rgba_of(stepper.glow.pixel.data(), stepper.rgba.data());
    return stepper.rgba.data();
}
