// The options of the beam's audio signal, shared by snake-render (--wav) and
// snake-play (--audio): the sample rate, the gain, the channel order and the
// Z channel, each meaning something only beside the option that turns the
// sound on. The tick rate is the look's (--tick-rate), one beam timer for
// the picture and the sound.
#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>

#include "host/audio/beam_signal.h"

inline constexpr std::int64_t SIGNAL_RATE_MIN = 8000;
inline constexpr std::int64_t SIGNAL_RATE_MAX = 768000;

void add_signal_options(CLI::App &app, signal_format_t *format);

// After parsing: a fault when a signal option came without `sound_option`.
bool check_signal_options(const CLI::App &app, const char *sound_option, bool sound_on,
                          std::string *error);
