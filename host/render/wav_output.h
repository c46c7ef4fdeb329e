// snake-render's --wav: the beam of the frames written as one WAV file of XY
// audio, for an oscilloscope fed by a sound card. The frames follow each
// other without a gap, so the range has no step; one frame may instead be
// repeated for a number of seconds, to stand still on a tube.
#pragma once

#include <string>

#include "host/render/render.h"
#include "host/render/render_output.h"

// Faults of the job's WAV settings, said in *error.
bool wav_job_valid(const render_job_t &job, std::string *error);

// Adds the WAV output when the job asks for one.
void add_wav_output(const render_job_t &job, render_outputs_t *outputs);
