// An animated GIF built in memory with giflib, frame by frame: every frame is
// shown for the same delay, and the animation repeats forever. Colours are
// exact: a palette holds just the colours present, and a frame that would need
// more than 256 is refused rather than quantised.
// To keep files small the first frame's colours become the global palette,
// which later frames use when it holds all their colours (else they bring
// their own), and each later frame stores only the rectangle in which it
// differs from the one before, drawn over it. Memory held: the previous frame
// and the file so far.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/image/frame_image.h"

struct GifFileType; // giflib's encoder state

inline constexpr int GIF_SIDE_MAX = 65535;
inline constexpr int GIF_DELAY_MAX = 65535;

class gif_writer_t {
  public:
    // Frames of width x height pixels (1 to GIF_SIDE_MAX), each shown for
    // delay_cs hundredths of a second (0 to GIF_DELAY_MAX); other values throw
    // std::invalid_argument.
    gif_writer_t(int width, int height, int delay_cs);
    ~gif_writer_t();
    gif_writer_t(const gif_writer_t &) = delete;
    gif_writer_t &operator=(const gif_writer_t &) = delete;

    // Appends a frame. On false *error says why; a frame refused for its size
    // or its colours leaves the file as it was, so more frames may follow.
    bool add_frame(const rgb_image_t &image, std::string *error);

    // Ends the file (it needs at least one frame) and moves its bytes to *out;
    // no frames are taken afterwards.
    bool finish(std::vector<std::uint8_t> *out, std::string *error);

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

    int width_;
    int height_;
    int delay_cs_;
    GifFileType *gif_ = nullptr;         // open until finish
    bool broken_ = false;                // giflib failed; the file is unusable
    std::vector<std::uint8_t> bytes_;    // the file so far
    std::vector<std::uint8_t> previous_; // rgb of the last frame, empty before the first
    colors_t global_;                    // the global palette, from the first frame
};
