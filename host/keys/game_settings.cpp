#include "host/keys/game_settings.h"

namespace {

// Whether a layer decides the pace, and the pace it asks for.
std::optional<bool> device_pace_of(const game_settings_t &layer)
{
    if (layer.device)
        return true;
    if (layer.speed || layer.growth)
        return false;
    return std::nullopt;
}

template <class T>
T first_of(const std::optional<T> &command_line, const std::optional<T> &script, T fallback)
{
    return command_line.value_or(script.value_or(fallback));
}

} // namespace

game_setup_t settle_setup(const game_settings_t &command_line, const game_settings_t &script,
                          const game_setup_t &defaults)
{
    game_setup_t setup;
    setup.level = first_of(command_line.level, script.level, defaults.level);
    setup.seed = first_of(command_line.seed, script.seed, defaults.seed);
    setup.device_pace =
        first_of(device_pace_of(command_line), device_pace_of(script), defaults.device_pace);
    setup.speed = first_of(command_line.speed, script.speed, defaults.speed);
    setup.growth = first_of(command_line.growth, script.growth, defaults.growth);
    return setup;
}

game_settings_t settings_of(const game_setup_t &setup)
{
    game_settings_t s;
    s.level = setup.level;
    s.seed = setup.seed;
    s.device = setup.device_pace;
    if (!setup.device_pace) {
        s.speed = setup.speed;
        s.growth = setup.growth;
    }
    return s;
}
