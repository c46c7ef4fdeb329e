// The video writer of a build without FFmpeg's libraries: it says so.
#include <stdexcept>

#include "host/video/video_writer.h"

bool video_available() { return false; }

struct video_writer_t::state_t {};

video_writer_t::video_writer_t(video_kind_t, int, int, int, int, fd_sink_t *, bool)
{
    throw std::runtime_error("video: this snake-render was built without FFmpeg's libraries "
                             "(libavcodec-dev, libavformat-dev, libswscale-dev, libavutil-dev)");
}

video_writer_t::~video_writer_t() = default;

void video_writer_t::add_frame(const rgb_image_t &) {}

void video_writer_t::finish() {}
