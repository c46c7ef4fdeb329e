// One output of snake-render: told of every frame the run records once it is
// drawn (raster.pixel and raster.budget hold it then), of a frame that stops
// the run, and once at the end, when it writes what it holds. An output that
// needs the beam operations themselves listens to the raster for its life.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/sim/beam_raster.h"

class render_output_t {
  public:
    virtual ~render_output_t() = default;
    virtual void frame_drawn(std::int64_t number) = 0;
    virtual void frame_aborted(const beam_abort_t &) {}
    // Throws write_failure_t when a file cannot be written.
    virtual void finish() {}
};

using render_outputs_t = std::vector<std::unique_ptr<render_output_t>>;

// A failed write; its message names the file.
struct write_failure_t {
    std::string message;
};

// Whole-file writes that throw write_failure_t.
void write_text(const std::string &path, const std::string &text);
void write_bytes(const std::string &path, const std::vector<std::uint8_t> &bytes);
void make_folder(const std::string &dir);

bool ends_with(const std::string &s, const char *tail);
