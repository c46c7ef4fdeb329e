// The pictures of snake-render's recorded frames: PPM and PNG files (one
// frame with -o, one file per frame in a folder), one animated GIF and one
// video.
#pragma once

#include <memory>

#include "host/render/frame_pictures.h"
#include "host/render/render.h"
#include "host/render/render_output.h"

// Adds an output for each picture the job asks for, all taking their
// pictures from `pictures`.
void add_image_outputs(const render_job_t &job, const std::shared_ptr<frame_pictures_t> &pictures,
                       render_outputs_t *outputs);
