// The colour of each painter pass in snake-render's pictures of the beam:
// the budget plot's Okabe-Ito colours, told apart also by colour-blind readers.
#pragma once

#include <array>

#include "host/sim/beam_budget.h"

// By beam_pass_t.
inline constexpr std::array<const char *, BEAM_PASS_COUNT> PASS_COLOR = {
    "#56b4e9", "#0072b2", "#e69f00", "#d55e00", "#009e73", "#cc79a7"};
