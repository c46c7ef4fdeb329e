// snake-render's --budget and --budget-svg: the beam budget of every frame
// written, heard at each frame's end, and of the frame that broke off a run,
// taken from its fault; written as CSV as the frames come, and as a plot at
// the end, whose memory does not grow with the frames.
#pragma once

#include "host/render/render.h"
#include "host/render/render_output.h"

// Adds the budget's output when the job asks for a CSV or a plot.
void add_budget_output(const render_job_t &job, render_outputs_t *outputs);
