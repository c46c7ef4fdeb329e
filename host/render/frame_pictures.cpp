#include "host/render/frame_pictures.h"

frame_pictures_t::frame_pictures_t(const picture_job_t &job)
    : scale_(job.scale), side_(job.look == look_t::tube ? job.tube.size : SCREEN_SIDE * job.scale)
{
    if (job.look == look_t::tube) {
        tube_ = std::make_unique<tube_t>(job.tube);
        listening_.emplace(tube_->listener());
    } else {
        // The raster clears it as each frame begins.
        glow_ = std::make_unique_for_overwrite<afterglow_t>();
        listening_.emplace(afterglow_listener(glow_.get()));
    }
}

const rgb_image_t &frame_pictures_t::picture(std::int64_t number, bool gif)
{
    cached_t &cache = gif && tube_ ? gif_ : smooth_;
    if (cache.number == number)
        return cache.image;
    if (tube_) {
        cache.image = tube_->picture(gif ? tube_palette_t::gif : tube_palette_t::smooth);
    } else {
        cache.image = frame_image(glow_->pixel.data());
        if (scale_ > 1)
            cache.image = scale_image(cache.image, scale_);
    }
    cache.number = number;
    return cache.image;
}
