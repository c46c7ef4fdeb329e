// Reading videos back in tests through FFmpeg's libraries, as a player reads
// them: what the stream says of itself, where its key frames are, how coarse
// its quantizer got, and one frame as the RGB picture a player shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/image/frame_image.h"

struct video_stream_t {
    std::string codec; // FFmpeg's name of it: "h264", "vp9"
    int width = 0;     // as the stream says
    int height = 0;
    std::string pixel_format;             // "yuv420p"
    std::string rate;                     // frames per second as a fraction: "25/1"
    int frames = 0;                       // frames decoded
    std::vector<std::int64_t> key_frames; // their times, counted in frames at `fps`
    int most_q = -1;               // the highest quantizer index a frame reports; -1 when none does
    rgb_image_t picture{0, 0, {}}; // the frame asked for, converted by the stream's colour tags
};

// The first video stream of the file at `path`, every frame decoded; frame
// `picture_index` (0 the first shown) is kept as RGB. A test failure, and
// what was read so far, when FFmpeg cannot read it.
video_stream_t read_video(const std::string &path, int fps, int picture_index = -1);
