// The picture of each frame a render writes, in the job's look, made once
// however many outputs take it: the exact frame, from the afterglow the
// raster's listener keeps, enlarged by the job's scale; or the tube's, which
// listens to the light of every frame it needs (light_plan.h says which).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "host/image/frame_image.h"
#include "host/render/render.h"
#include "host/sim/afterglow.h"
#include "host/sim/beam_raster.h"
#include "host/tube/tube.h"

class frame_pictures_t {
  public:
    explicit frame_pictures_t(const picture_job_t &job);

    // The picture of frame `number`, just drawn; `gif`: in colours a GIF
    // palette holds (the exact look's are few anyway).
    const rgb_image_t &picture(std::int64_t number, bool gif = false);

    // The exact look's afterglow of the frame just drawn; nullptr on the tube.
    const afterglow_t *afterglow() const { return glow_.get(); }

    // Pixels a side of every picture.
    int side() const { return side_; }

    // The tube look's tube, to bring its light to a frame; nullptr in the exact look.
    tube_t *tube() { return tube_.get(); }

  private:
    struct cached_t {
        std::int64_t number = 0; // 0: none yet
        rgb_image_t image;
    };

    int scale_;
    int side_;
    std::unique_ptr<afterglow_t> glow_; // the exact look
    std::unique_ptr<tube_t> tube_;      // the tube look
    std::optional<beam_listening_t> listening_;
    cached_t smooth_;
    cached_t gif_;
};
