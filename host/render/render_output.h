// One output of snake-render: told of every frame written once it is drawn,
// of a frame that stops the run, and once at the end, when it writes what it
// holds. What an output needs of a frame it hears from the raster as a
// listener (the afterglow, the tube, the ticks, the budget) for its life.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "host/sim/beam_fault.h"

class render_output_t {
  public:
    virtual ~render_output_t() = default;
    virtual void frame_drawn(std::int64_t number) = 0;
    virtual void frame_aborted(const beam_fault_t &) {}
    // Throws write_failure_t when a file cannot be written.
    virtual void finish() {}
};

using render_outputs_t = std::vector<std::unique_ptr<render_output_t>>;
