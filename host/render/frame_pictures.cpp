#include "host/render/frame_pictures.h"

#include <algorithm>

frame_pictures_t::frame_pictures_t(const render_job_t &job)
    : scale_(job.scale), side_(job.look == look_t::tube ? job.tube.size : SCREEN_SIDE * job.scale)
{
    if (job.look != look_t::tube)
        return;
    tube_ = std::make_unique<tube_t>(job.tube);
    listening_.emplace(tube_->listener());
}

const rgb_image_t &frame_pictures_t::picture(std::int64_t number, bool gif)
{
    cached_t &cache = gif && tube_ ? gif_ : smooth_;
    if (cache.number == number)
        return cache.image;
    if (tube_) {
        cache.image = tube_->picture(gif ? tube_palette_t::gif : tube_palette_t::smooth);
    } else {
        cache.image = frame_image(raster.pixel.data());
        if (scale_ > 1)
            cache.image = scale_image(cache.image, scale_);
    }
    cache.number = number;
    return cache.image;
}

namespace {

std::int64_t history_of(const render_job_t &job)
{
    return job.look == look_t::tube ? tube_t::history_frames(job.tube) : 0;
}

} // namespace

std::int64_t first_recorded(const render_job_t &job)
{
    return std::max<std::int64_t>(1, job.frames.first - history_of(job));
}

std::int64_t next_recorded(const render_job_t &job, std::int64_t n)
{
    const frame_range_t &r = job.frames;
    const std::int64_t next_written =
        n < r.first ? r.first : r.first + ((n - r.first) / r.step + 1) * r.step;
    return std::max(n + 1, next_written - history_of(job));
}

bool frame_written(const frame_range_t &range, std::int64_t n)
{
    return n >= range.first && n <= range.last && (n - range.first) % range.step == 0;
}
