// A video made frame by frame through FFmpeg's libraries: H.264 in MP4 or
// VP9 in WebM, yuv420p so that every player plays it, a fixed frame rate.
// Its packets go out as they are encoded. Into a file the muxer may go back
// into, an MP4 gets its index at the end and a WebM its cues; into a pipe a
// WebM is a live stream and an MP4 is fragmented. Encoders run on one thread
// with bit-exact flags, so the same frames give the same bytes with the same
// FFmpeg. Nothing is written before the first frame, so a video without
// frames writes nothing. The encoder behind it is the table of
// video_module.h, which the programs load as a module only for a video.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/image/frame_image.h"
#include "host/io/sink.h"

enum class video_kind_t { mp4, webm };

// Whether videos can be made in this process: the encoder is linked in, or
// its module loads (the first call loads it). False with the reason in
// *error where the build has no FFmpeg or the module cannot be loaded.
bool video_ready(std::string *error);

class video_writer_t {
  public:
    // Frames of width x height pixels (both even), `fps` a second; crf 0 to
    // 51 is H.264's constant rate factor (lower is better), scaled to VP9's
    // 0 to 63. The file goes to out->fd, which the muxer seeks in where
    // `seekable`; a failed write is kept in out->err. A missing encoder or a
    // refused setting throws std::runtime_error with FFmpeg's reason.
    video_writer_t(video_kind_t kind, int width, int height, int fps, int crf, fd_sink_t *out,
                   bool seekable);
    ~video_writer_t();
    video_writer_t(const video_writer_t &) = delete;
    video_writer_t &operator=(const video_writer_t &) = delete;

    // Throws std::runtime_error, or std::invalid_argument for a picture of
    // another size.
    void add_frame(const rgb_image_t &image);

    // Ends the stream and the file; nothing is taken afterwards. Throws
    // std::runtime_error.
    void finish();

  private:
    struct state_t;
    std::unique_ptr<state_t> state_;
};
