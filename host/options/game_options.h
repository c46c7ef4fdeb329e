// The options that choose the game, shared by snake-render and snake-play:
// the seed, the pace and the key script. What they name is a layer of game
// settings, settled with a script's by settle_setup (host/keys/game_settings.h).
#pragma once

#include <CLI/CLI.hpp>

#include <string>

#include "host/keys/game_settings.h"

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
