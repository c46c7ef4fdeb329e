// snake-render's video: every frame written, in the job's look, into one
// MP4 or WebM file as the frames come. Like the GIF it holds the frames
// drawn before a run that stops early.
#pragma once

#include <memory>

#include "host/render/frame_pictures.h"
#include "host/render/render.h"
#include "host/render/render_output.h"

// Adds the video output if the job asks for one.
void add_video_output(const render_job_t &job, const std::shared_ptr<frame_pictures_t> &pictures,
                      render_outputs_t *outputs);
