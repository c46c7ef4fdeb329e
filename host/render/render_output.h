// One output of snake-render: its files opened when it is made, before the
// work; told of every frame written once it is drawn, of a frame that stops
// the run, and once at the end, when it writes what it still holds; then
// put in place. What an output needs of a frame it hears from the raster as
// a listener (the afterglow, the tube, the ticks, the budget) for its life.
// A listener's writes go to its sink, which keeps their failure for
// failure() to tell after the frame: nothing leaves a callback by an
// exception. An output dropped without commit() leaves its files as they were.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/render/output_file.h"
#include "host/sim/beam_fault.h"

class render_output_t {
  public:
    virtual ~render_output_t() = default;
    // Each throws write_failure_t when a file cannot be written.
    virtual void frame_drawn(std::int64_t number) = 0;
    virtual void frame_aborted(const beam_fault_t &) {}
    virtual void finish() {}
    // The first write that failed, as a message naming its file; "" for none.
    virtual std::string failure() const = 0;
    // Puts the files in place, or leaves them as they were when the run made
    // nothing for them.
    virtual void commit() = 0;
};

using render_outputs_t = std::vector<std::unique_ptr<render_output_t>>;
