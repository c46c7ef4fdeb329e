// What decides a game besides its keys, as layers name it: a key script's
// settings, a command line's options. Each layer names some fields; one rule
// settles them into the game's setup: field by field, the command line over
// the script over the program's defaults.
#pragma once

#include <cstdint>
#include <optional>

#include "host/sim/frame_loop.h"

struct game_settings_t {
    std::optional<std::uint8_t> level;
    std::optional<std::uint16_t> seed;
    std::optional<std::uint8_t> speed;
    std::optional<std::uint8_t> growth;
    bool device = false; // the level table's own speed and growth

    friend bool operator==(const game_settings_t &, const game_settings_t &) = default;
};

// The game that the layers name. A layer that names `device`, a speed or a
// growth decides the pace: the level table's with device, else its own.
game_setup_t settle_setup(const game_settings_t &command_line, const game_settings_t &script,
                          const game_setup_t &defaults);

// The settings that name `setup` whole, as a recording keeps them.
game_settings_t settings_of(const game_setup_t &setup);
