// The look of the pictures, shared by snake-render and snake-play: the exact
// one (one cell per point, the module's afterglow weights) or the tube's
// glowing phosphor, and the tube's knobs. Each program picks its default look
// and lists in its companion table which knobs go with which look.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

#include "host/tube/tube_settings.h"

struct look_options_t {
    look_t look = look_t::exact;
    tube_settings_t tube;
};

// --look, --size, --focus, --brightness, --persistence, --glow, --tick-rate
// and --fixed-frame. `persistence_help` says what --persistence does in this
// program, or is empty where it is the tube's alone.
void add_look_options(CLI::App &app, look_options_t *options, look_t default_look,
                      const std::string &persistence_help);
