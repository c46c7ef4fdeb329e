// snake-play's command line: the options, their checks and --help. A key
// script given with --keys is read here; the settings it names stand unless
// an option says otherwise.
#pragma once

#include <cstdint>
#include <string>

#include "host/keys/key_script.h"
#include "host/options/look_options.h"
#include "host/play/beam_stepper.h"
#include "host/signal/beam_signal.h"
#include "host/sim/frame_loop.h"

inline constexpr int WINDOW_SCALE_DEFAULT = 3;
inline constexpr int WINDOW_SCALE_MAX = 8;

struct play_options_t {
    game_setup_t setup;               // the first game
    bool replay = false;              // replay `keys` in the first game
    key_script_t keys;                // from --keys
    std::string keys_path;            // --keys as given, or empty
    std::string record_path;          // --record, or empty
    std::string screenshot_path;      // --screenshot, or empty
    std::int64_t frames = 0;          // --frames; 0 plays until the player quits
    look_options_t look;              // tube by default; both looks fade by its tube.frame_ms
    int fps = 50;                     // 0: as fast as it goes
    int scale = WINDOW_SCALE_DEFAULT; // the window's first size, times 256
    bool fill = false;                // scale to fill the window, not by whole steps
    bool slow = false;                // start in slow motion
    int slow_tps = SLOW_TICKS_PER_SECOND_DEFAULT; // slow motion's beam ticks a second
    bool audio = false;                           // the beam as XY audio, the frames at its pace
    signal_format_t signal;                       // its rates, gain and channels
};

// Returns -1 to play with *out filled in, or the status to exit with: 0 after
// --help or --version, EXIT_USAGE after a message on stderr.
int parse_play_options(int argc, char **argv, play_options_t *out);
