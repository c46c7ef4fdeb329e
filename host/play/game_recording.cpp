#include "host/play/game_recording.h"

#include "host/keys/game_settings.h"

key_script_t recording_start(const game_setup_t &setup)
{
    key_script_t r;
    r.settings = settings_of(setup);
    return r;
}

void recording_add(key_script_t *recording, std::int64_t frame, std::uint8_t key)
{
    if (key != 0)
        recording->presses.push_back({frame, key});
}
