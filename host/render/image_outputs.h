// The pictures of snake-render's recorded frames: PPM and PNG files (one
// frame with -o, one file per frame in a folder) and one animated GIF.
#pragma once

#include "host/render/render.h"
#include "host/render/render_output.h"

// Adds an output for each picture the job asks for.
void add_image_outputs(const render_job_t &job, render_outputs_t *outputs);
