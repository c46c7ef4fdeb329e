// The options of the beam's audio signal, shared by snake-render (--wav) and
// snake-play (--audio): the sample rate, the gain, the channel order and the
// Z channel, each going with the option that turns the sound on. The tick
// rate is the look's (--tick-rate), one beam timer for the picture and the sound.
#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>

#include "host/signal/beam_signal.h"

inline constexpr std::int64_t SIGNAL_RATE_MIN = 8000;
inline constexpr std::int64_t SIGNAL_RATE_MAX = 768000;

void add_signal_options(CLI::App &app, signal_format_t *format);
