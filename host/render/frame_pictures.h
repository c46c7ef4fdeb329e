// The picture of each frame a render writes, in the job's look, made once
// however many outputs take it: the exact frame enlarged by the job's
// scale, or the tube's, which listens to the beam for the whole run. And
// which frames the run must record for it: the tube's picture of a frame
// carries the fading light of the frames before, so those are played
// recorded too, unseen.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "host/image/frame_image.h"
#include "host/render/render.h"
#include "host/sim/beam_raster.h"
#include "host/tube/tube.h"

class frame_pictures_t {
  public:
    explicit frame_pictures_t(const render_job_t &job);

    // The picture of frame `number`, just drawn; `gif`: in colours a GIF
    // palette holds (the exact look's are few anyway).
    const rgb_image_t &picture(std::int64_t number, bool gif = false);

    // Pixels a side of every picture.
    int side() const { return side_; }

  private:
    struct cached_t {
        std::int64_t number = 0; // 0: none yet
        rgb_image_t image;
    };

    int scale_;
    int side_;
    std::unique_ptr<tube_t> tube_; // the tube look only
    std::optional<beam_listening_t> listening_;
    cached_t smooth_;
    cached_t gif_;
};

// The first frame to record, and the one after n: with the exact look just
// the frames written; with the tube, every frame from far enough before
// each frame written.
std::int64_t first_recorded(const render_job_t &job);
std::int64_t next_recorded(const render_job_t &job, std::int64_t n);
// Whether frame n is written.
bool frame_written(const frame_range_t &range, std::int64_t n);
