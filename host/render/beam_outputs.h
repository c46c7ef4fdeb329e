// snake-render's views of the beam itself, both listeners to the raster: every
// beam operation of the frames written as CSV, and one frame's path drawn as
// a trace (SVG, or PNG through the trace's own raster). The CSV goes out as
// the frames come, the trace at the end; both take a frame that broke the
// budget up to its last tick.
#pragma once

#include <string>

#include "host/render/render.h"
#include "host/render/render_output.h"
#include "host/sim/beam_listener.h"

// Header `frame,tick,pass,lit,x,y`, one line per beam operation; a dark tick
// leaves x and y empty.
inline constexpr const char *BEAM_CSV_HEADER = "frame,tick,pass,lit,x,y\n";

// Appends the CSV line of one beam operation.
void append_beam_csv_line(std::string &out, const beam_tick_t &tick);

// Adds an output for --beam and one for --trace when the job asks for them.
void add_beam_outputs(const render_job_t &job, render_outputs_t *outputs);
