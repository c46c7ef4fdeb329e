// The beam budget of a run for people to read: a CSV table of every frame's
// ticks, a line at a time, and an SVG plot of them stacked by painter pass
// against the tick limit, made as the frames come in memory that does not
// grow with their number. They return the text and the caller writes it
// out. The bytes depend only on the input, never on locale or platform.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "host/sim/beam_budget.h"

// Header `frame,total` and the pass names, then one line per frame in the
// order given, decimal numbers, every line ending in '\n'.
std::string budget_csv(const std::vector<frame_budget_t> &frames);
std::string budget_csv_header();
void append_budget_csv_line(std::string &out, const frame_budget_t &frame);

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

// The same plot with its frames added one by one, knowing beforehand the
// first and the last frame and the step: it keeps the busiest frame of each
// pixel column (at most one per column of the plot, 657), the busiest of
// all, and the sums of the legend. A step below 1, a last frame before the
// first, or svg() before any frame throws std::invalid_argument.
class budget_plot_t {
  public:
    budget_plot_t(std::int64_t first, std::int64_t last, std::int64_t step,
                  std::uint16_t limit = BEAM_TICK_LIMIT);
    void add(const frame_budget_t &frame); // frames in rising order, first to last
    std::string svg() const;

    // Frame numbers at the plot's left and right edges.
    double x0() const { return x0_; }
    double x1() const { return x1_; }
    std::uint16_t limit() const { return limit_; }
    double step() const { return step_; }
    std::uint64_t count() const { return count_; }
    std::int64_t front() const { return front_; } // the first frame added
    std::int64_t back() const { return back_; }   // the last
    const frame_budget_t &busiest() const { return busiest_; }
    std::uint64_t over() const { return over_; } // frames over the limit
    const std::array<std::uint64_t, BEAM_PASS_COUNT> &sums() const { return sums_; }
    const std::vector<frame_budget_t> &columns() const { return columns_; }
    // Where frame falls across the canvas.
    double x(double frame) const;

  private:
    double x0_, x1_, step_;
    std::uint16_t limit_;
    std::uint64_t count_ = 0;
    std::int64_t front_ = 0, back_ = 0;
    frame_budget_t busiest_{};
    std::uint64_t over_ = 0;
    std::array<std::uint64_t, BEAM_PASS_COUNT> sums_{};
    std::vector<frame_budget_t> columns_; // the busiest frame of each column, left to right
    double column_ = -1;                  // the last one's column
};
