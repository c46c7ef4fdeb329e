// An animated GIF made by giflib, frame by frame, into a sink as the frames
// come: every frame is shown for the same delay, and the animation repeats
// forever. Colours are
// exact: a palette holds just the colours present, and a frame that would need
// more than 256 is refused rather than quantised.
// To keep files small the first frame's colours become the global palette,
// which later frames use when it holds all their colours (else they bring
// their own), and each later frame stores only the rectangle in which it
// differs from the one before, drawn over it. Memory held: the previous frame.
// Nothing reaches the sink before the first frame, so a GIF without frames
// writes nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/image/frame_image.h"
#include "host/io/sink.h"

struct GifFileType; // giflib's encoder state

inline constexpr int GIF_SIDE_MAX = 65535;
inline constexpr int GIF_DELAY_MAX = 65535;

class gif_writer_t {
  public:
    // Frames of width x height pixels (1 to GIF_SIDE_MAX), each shown for
    // delay_cs hundredths of a second (0 to GIF_DELAY_MAX); other values throw
    // std::invalid_argument. The bytes go to `sink`.
    gif_writer_t(int width, int height, int delay_cs, const sink_t &sink);
    ~gif_writer_t();
    gif_writer_t(const gif_writer_t &) = delete;
    gif_writer_t &operator=(const gif_writer_t &) = delete;

    // Appends a frame. On false *error says why; a frame refused for its size
    // or its colours writes nothing, so more frames may follow. A sink that
    // refuses the bytes breaks the file.
    bool add_frame(const rgb_image_t &image, std::string *error);

    // Ends the file (it needs at least one frame); no frames are taken
    // afterwards. A writer dropped before it writes no ending.
    bool finish(std::string *error);

  private:
    struct rect_t {
        int left, top, width, height;
    };
    using colors_t = std::vector<std::uint32_t>; // 0xRRGGBB, ascending

    rect_t changed_rect(const rgb_image_t &image) const;
    bool collect_colors(const rgb_image_t &image, const rect_t &rect, colors_t *colors) const;
    bool put_header();
    bool put_frame(const rgb_image_t &image, const rect_t &rect, const colors_t &colors,
                   bool local);
    bool fail_writing(std::string *error);
    static int on_write(GifFileType *gif, const std::uint8_t *data, int n);

    int width_;
    int height_;
    int delay_cs_;
    GifFileType *gif_ = nullptr; // open until finish
    bool broken_ = false;        // giflib failed; the file is unusable
    sink_t sink_;
    bool dropping_ = false;              // giflib's ending of an abandoned file goes nowhere
    std::vector<std::uint8_t> previous_; // rgb of the last frame, empty before the first
    colors_t global_;                    // the global palette, from the first frame
};
