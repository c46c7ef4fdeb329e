// The beam budget of a run for people to read: a CSV table of every frame's
// ticks, and an SVG plot of them stacked by painter pass against the tick
// limit. Pure functions: they return the text and the caller writes it out.
// The bytes depend only on the input, never on locale or platform.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/sim/beam_budget.h"

// Header `frame,total` and the pass names, then one line per frame in the
// order given, decimal numbers, every line ending in '\n'.
std::string budget_csv(const std::vector<frame_budget_t> &frames);

// A standalone SVG plot, 900 x 420, of frames in rising order, `step` apart
// (only the last may be closer: a run that aborts ends on the frame that
// broke the limit). Ticks per frame stacked by pass (texts at the bottom) as
// staircases, each frame a flat step `step` frames wide; a legend with each
// pass's average and share; the limit as a dashed line; the busiest frame,
// the earliest of a tie, marked with its number and total. The y axis always
// reaches above both the limit and the busiest frame. With more frames than
// pixel columns only the busiest frame of each column is drawn, which keeps
// the file small without losing a peak. No frames or a step below 1 throws
// std::invalid_argument.
std::string budget_svg(const std::vector<frame_budget_t> &frames, std::int64_t step,
                       std::uint16_t limit = BEAM_TICK_LIMIT);
