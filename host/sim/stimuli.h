// pc-snake's fixed key script: one entry per frame index, 0 for no key.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t STIMULI_FRAMES = 330;

extern const std::array<std::uint8_t, STIMULI_FRAMES> stimuli;
