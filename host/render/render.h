// snake-render's work once its options are read: one game played through the
// whole range, each frame asked for written as PPM or PNG files, added to an
// animated GIF or a video, its beam budget as CSV and SVG, its beam tick by
// tick as CSV or a trace, and its beam as XY audio in a WAV file. Every file
// is written whole or not at all.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "host/audio/wav_file.h"
#include "host/keys/key_script.h"
#include "host/render/frame_range.h"
#include "host/signal/beam_signal.h"
#include "host/sim/beam_fault.h"
#include "host/sim/frame_loop.h"
#include "host/tube/tube_settings.h"

// The pictures of the frames: their look and its knobs.
struct picture_job_t {
    look_t look = look_t::exact;
    int scale = 1;        // exact look, PNG, GIF and video: nearest neighbour, 1 to 8
    tube_settings_t tube; // the tube look's knobs
};

// Single frames as files: one with -o, or one per frame in a folder.
struct frame_files_job_t {
    std::string output;  // one frame, .png or .ppm, or to standard output (output_names.h)
    std::string png_dir; // one PNG per frame
    std::string ppm_dir; // one PPM per frame
};

struct gif_job_t {
    std::string path; // one animated GIF of the range
    int delay_cs = 2; // centiseconds per frame
};

struct video_job_t {
    std::string path; // the range as one video, .mp4 or .webm
    int fps = 50;     // frames per second
    int crf = 20;     // quality, H.264's constant rate factor
};

struct budget_job_t {
    std::string csv; // ticks per frame and pass
    std::string svg; // the same as a plot
};

// The beam itself: every operation of the frames, and one frame's path.
struct beam_job_t {
    std::string csv;
    std::string trace; // .svg or .png
};

// The beam as XY audio: the file, its signal and sample format, and how
// long one frame's beam is repeated (0: the range once).
struct wav_job_t {
    std::string path;
    signal_format_t signal;
    wav_sample_format_t format = wav_sample_format_t::float32;
    double seconds = 0;
};

struct render_job_t {
    game_setup_t setup;
    key_script_t keys;
    frame_range_t frames;
    picture_job_t picture;
    frame_files_job_t files;
    gif_job_t gif;
    video_job_t video;
    budget_job_t budget;
    beam_job_t beam;
    wav_job_t wav;
};

// How a render ended: a beam fault stops it after the frames before it are
// written; a file that cannot be opened or written stops it at once, and
// every file is left as it was.
struct render_end_t {
    beam_fault_t fault;      // kind none unless a frame broke off
    std::string write_error; // empty unless an output failed, naming it
};

// Told after each frame written: how many so far, of how many, and its number.
using render_progress_t =
    std::function<void(std::int64_t done, std::int64_t total, std::int64_t number)>;

render_end_t render(const render_job_t &job, const render_progress_t &progress = {});
