#include "host/play/game_recording.h"

key_script_t recording_start(const game_setup_t &setup)
{
    key_script_t r;
    r.level = setup.level;
    r.seed = setup.seed;
    r.device = setup.device_pace;
    if (!setup.device_pace) {
        r.speed = setup.speed;
        r.growth = setup.growth;
    }
    return r;
}

void recording_add(key_script_t *recording, std::int64_t frame, std::uint8_t key)
{
    if (key != 0)
        recording->presses.push_back({frame, key});
}

void apply_script_setup(const key_script_t &script, game_setup_t *setup)
{
    if (script.level)
        setup->level = *script.level;
    if (script.seed)
        setup->seed = *script.seed;
    if (script.device)
        setup->device_pace = true;
    if (script.speed || script.growth)
        setup->device_pace = false; // a script that names a pace keeps it
    if (script.speed)
        setup->speed = *script.speed;
    if (script.growth)
        setup->growth = *script.growth;
}
