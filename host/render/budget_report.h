// The beam budget of a run for people to read: a CSV table of every frame's
// ticks, and an SVG plot of them stacked by painter pass against the tick
// limit. Pure functions: they return the text and the caller writes it out.
// The bytes depend only on the input, never on locale or platform.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/sim/beam_budget.h"

// Header `frame,total,texts,walls,food,head,body,end`, then one line per
// frame in the order given, decimal numbers, every line ending in '\n'.
std::string budget_csv(const std::vector<frame_budget_t> &frames);

// A standalone SVG plot, 900 x 420: ticks per frame stacked by pass (texts at
// the bottom), a legend with each pass's average and share, the limit as a
// dashed line, and the busiest frame marked with its number and total. The
// y axis always reaches above both the limit and the busiest frame.
// Frames are placed by number, so gaps and steps show; with more frames than
// pixel columns only the busiest frame of each column is drawn, which keeps
// the file small without losing a peak.
std::string budget_svg(const std::vector<frame_budget_t> &frames,
                       std::uint16_t limit = BEAM_TICK_LIMIT);
