#include "web/api/web_status.h"

#include <array>

#include "host/keys/key_script.h"
#include "web/api/web_export.h"
#include "web/api/web_game.h"
#include "web/api/web_glow.h"
#include "web/api/web_sound.h"
#include "web/api/web_stepper.h"
#include "web/api/web_ticks.h"

namespace {

std::array<std::int32_t, WEB_STATUS_COUNT> status{};

std::int32_t as_int(std::int64_t v) { return static_cast<std::int32_t>(v); }

} // namespace

WEB_EXPORT("web_init") void web_init()
{
    web_ticks_listen();
    web_glow_listen();
    web_sound_listen();
    web_start(-1, -1, -1, -1, 0, 0, -1);
}

WEB_EXPORT("web_status") const std::int32_t *web_status()
{
    const scripted_run_t &run = web_game.run;
    status[WEB_STATUS_DRAWN] = as_int(run.drawn);
    status[WEB_STATUS_LEVEL] = run.setup.level;
    status[WEB_STATUS_SEED] = run.setup.seed;
    status[WEB_STATUS_SPEED] = run.setup.speed;
    status[WEB_STATUS_GROWTH] = run.setup.growth;
    status[WEB_STATUS_DEVICE] = run.setup.device_pace;
    status[WEB_STATUS_STOPPED] = web_game.stopped.has_value();
    status[WEB_STATUS_STEPPING] = web_stepper_open();
    status[WEB_STATUS_SHOWN] = web_step_shown();
    status[WEB_STATUS_WAITING_KEYS] = static_cast<std::int32_t>(web_game.queue.size());
    status[WEB_STATUS_LAST_KEY] = as_int(last_key_frame(run.keys));
    return status.data();
}
