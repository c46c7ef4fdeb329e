// video_writer_t over the encoder's table, wherever the table comes from.
#include "host/video/video_writer.h"

#include <stdexcept>

#include "host/video/video_module.h"

bool video_ready(std::string *error) { return video_module(error) != nullptr; }

struct video_writer_t::state_t {
    const video_module_t *module = nullptr;
    video_encoder_t *video = nullptr;

    ~state_t()
    {
        if (video != nullptr)
            module->close(video);
    }
};

video_writer_t::video_writer_t(video_kind_t kind, int width, int height, int fps, int crf,
                               fd_sink_t *out, bool seekable)
    : state_(std::make_unique<state_t>())
{
    std::string missing;
    state_->module = video_module(&missing);
    if (state_->module == nullptr)
        throw std::runtime_error("video: " + missing);
    module_error_t error;
    state_->module->open(static_cast<std::int32_t>(kind), width, height, fps, crf, out,
                         seekable ? 1 : 0, &state_->video, &error);
    module_rethrow(error);
}

video_writer_t::~video_writer_t() = default;

void video_writer_t::add_frame(const rgb_image_t &image)
{
    module_error_t error;
    state_->module->add_frame(state_->video, image.rgb.data(), image.width, image.height,
                              image.rgb.size(), &error);
    module_rethrow(error);
}

void video_writer_t::finish()
{
    module_error_t error;
    state_->module->finish(state_->video, &error);
    module_rethrow(error);
}
