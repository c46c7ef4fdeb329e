// The options that choose the game, shared by snake-render and snake-play,
// the one loader of key scripts, and the one rule by which the command line
// and a script's settings meet: field by field, the command line over the
// script over the program's defaults.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

#include "host/sim/frame_loop.h"
#include "host/sim/key_script.h"

struct game_options_t {
    game_settings_t settings; // what the command line names (the level is the program's)
    std::string keys;         // --keys: a file, "builtin", or empty for none
    bool sim = false;         // --sim
};

// --seed, --speed, --growth, --device, --sim and --keys; `defaults` are shown
// in the help, `keys_help` says what --keys does in this program.
void add_game_options(CLI::App &app, game_options_t *options, const game_setup_t &defaults,
                      const std::string &keys_help, const std::string &keys_default = "");

// After parsing: --sim stands for speed 1 and growth 20, and --device cannot
// meet a pace of its own. On a fault returns false with what is wrong.
bool finish_game_options(game_options_t *options, std::string *error);

// "builtin" is pc-snake's script, anything else a file, read line by line
// within the key-script bounds. On a fault returns false with the message.
bool load_key_script(const std::string &name, key_script_t *out, std::string *error);

// The game that the layers name. A layer that names `device`, a speed or a
// growth decides the pace: the level table's with device, else its own.
game_setup_t settle_setup(const game_settings_t &command_line, const game_settings_t &script,
                          const game_setup_t &defaults);

// The settings that name `setup` whole, as a recording keeps them.
game_settings_t settings_of(const game_setup_t &setup);
