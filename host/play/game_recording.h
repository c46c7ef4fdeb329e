// A game kept as a key script: the settings it needs (level, seed, pace) and
// the keys the module took, each after the frame it followed. Replayed
// through the shared frame loop it gives the same frames again.
#pragma once

#include <cstdint>

#include "host/keys/key_script.h"
#include "host/sim/frame_loop.h"

// An empty recording of a game started with `setup`.
key_script_t recording_start(const game_setup_t &setup);

// The module took `key` after frame `frame` (frames rise; key 0 is no key).
void recording_add(key_script_t *recording, std::int64_t frame, std::uint8_t key);
