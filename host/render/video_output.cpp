#include "host/render/video_output.h"

#include <exception>

#include "host/video/video_writer.h"

namespace {

// Packets go out as they are encoded; the video holds every frame drawn, also
// when the run stops early, and is not written without any.
class video_file_t : public render_output_t {
  public:
    video_file_t(const video_job_t &job, std::shared_ptr<frame_pictures_t> pictures)
        : file_(job.path), pictures_(std::move(pictures)),
          video_(job.path.ends_with(".webm") ? video_kind_t::webm : video_kind_t::mp4,
                 pictures_->side(), pictures_->side(), job.fps, job.crf, file_.out(),
                 file_.seekable())
    {
    }

    void frame_drawn(std::int64_t number) override
    {
        video_.add_frame(pictures_->picture(number));
        ++frames_;
    }

    void finish() override { video_.finish(); }

    std::string failure() const override { return file_.failure(); }

    void commit() override
    {
        if (frames_ > 0)
            file_.commit();
    }

  private:
    output_file_t file_;
    std::shared_ptr<frame_pictures_t> pictures_;
    video_writer_t video_;
    std::int64_t frames_ = 0;
};

} // namespace

void add_video_output(const render_job_t &job, const std::shared_ptr<frame_pictures_t> &pictures,
                      render_outputs_t *outputs)
{
    if (!job.video.path.empty())
        outputs->push_back(std::make_unique<video_file_t>(job.video, pictures));
}
