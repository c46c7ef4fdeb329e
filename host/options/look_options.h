// The look of the pictures, shared by snake-render and snake-play: the exact
// one (one cell per point, the module's afterglow weights) or the tube's
// glowing phosphor, and the tube's knobs. Each program picks its default look.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

#include "host/tube/tube_settings.h"

struct look_options_t {
    look_t look = look_t::exact;
    tube_settings_t tube;
    bool exact_persistence = false; // the exact look fades by --persistence too
    CLI::App *app = nullptr;        // where the options were added, to tell which were given
};

// --look, --size, --focus, --brightness, --persistence, --glow, --tick-rate
// and --fixed-frame. `persistence_help` says what --persistence does in the
// exact look of this program, or is empty where it means nothing there.
void add_look_options(CLI::App &app, look_options_t *options, look_t default_look,
                      const std::string &persistence_help);

// After parsing: the tube's knobs go with the tube look only (and
// --persistence with it too, unless the exact look has a use for it).
// On a fault returns false with what is wrong.
bool check_look_options(const look_options_t &options, std::string *error);

