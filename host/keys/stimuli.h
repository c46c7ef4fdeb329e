// pc-snake's fixed key script: the built-in game, as the table `stimuli`
// with one entry per frame index (0 for no key) and as a key script.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "host/keys/key_script.h"

inline constexpr std::size_t STIMULI_FRAMES = 330;

// Index i is handed to the game after frame i + 1 is drawn.
extern const std::array<std::uint8_t, STIMULI_FRAMES> stimuli;

// The same presses as a key script that names pc-snake's game: its seed and
// the simulator's pace (speed 1, growth 20), so that a program whose own
// default is the device's pace plays it as pc-snake does. No level: it
// plays at any.
key_script_t builtin_key_script();
