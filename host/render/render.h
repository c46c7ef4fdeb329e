// snake-render's work once its options are read: one game played through the
// whole range, each frame asked for written as PPM or PNG files or added to
// an animated GIF, the beam budget of each as CSV and SVG, and their beam as
// XY audio in a WAV file. Every file is written whole or not at all.
#pragma once

#include <cstdint>
#include <string>

#include "host/audio/beam_signal.h"
#include "host/audio/wav_file.h"
#include "host/render/frame_range.h"
#include "host/sim/frame_loop.h"
#include "host/sim/key_script.h"
#include "host/tube/tube_settings.h"

struct render_job_t {
    game_setup_t setup;
    key_script_t keys;
    frame_range_t frames;
    std::string output;  // one frame, .png or .ppm, or to standard output (output_format)
    std::string png_dir; // one PNG per frame
    std::string ppm_dir; // one PPM per frame
    std::string gif;     // one animated GIF of the range
    int delay_cs = 2;    // GIF: centiseconds per frame
    int scale = 1;       // PNG and GIF: nearest neighbour, 1 to 8
    std::string budget_csv;
    std::string budget_svg;
    std::string beam_csv; // every beam operation of the frames written
    std::string trace;    // one frame's beam path, .svg or .png
    // The beam as XY audio: the file, its signal and sample format, and how
    // long one frame's beam is repeated (0: the range once).
    std::string wav;
    signal_format_t signal;
    wav_sample_format_t wav_format = wav_sample_format_t::float32;
    double wav_seconds = 0;
    bool progress = false; // a progress line on stderr
    look_t look = look_t::exact;
    tube_settings_t tube; // the tube look's knobs
    std::string video;    // the range as one video, .mp4 or .webm
    int fps = 50;         // video: frames per second
    int crf = 20;         // video: quality, H.264's constant rate factor
};

// Plays and writes; messages go to stderr. Returns the exit status: 0, 2 or
// 3 after a beam abort (the frames before it written), 4 on a write failure.
int render(const render_job_t &job);

// "ppm" or "png" for a name of --output (FILE.ppm, FILE.png, or standard
// output as -, ppm:- or png:-), else nullptr.
const char *output_format(const std::string &name);

// Where --output writes: the file, or "-" for standard output.
std::string output_path(const std::string &name);

// The file name of a frame in a --png-dir or --ppm-dir folder.
std::string frame_file_name(std::uint8_t level, std::int64_t frame, const char *extension);
