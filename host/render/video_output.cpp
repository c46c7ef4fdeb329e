#include "host/render/video_output.h"

#include "host/io/whole_files.h"
#include "host/video/video_writer.h"

namespace {

class video_file_t : public render_output_t {
  public:
    video_file_t(const video_job_t &job, std::shared_ptr<frame_pictures_t> pictures)
        : path_(job.path), pictures_(std::move(pictures)),
          video_(job.path.ends_with(".webm") ? video_kind_t::webm : video_kind_t::mp4,
                 pictures_->side(), pictures_->side(), job.fps, job.crf)
    {
    }

    void frame_drawn(std::int64_t number) override
    {
        video_.add_frame(pictures_->picture(number));
        ++frames_;
    }

    void finish() override
    {
        if (frames_ > 0)
            write_bytes(path_, video_.finish());
    }

  private:
    std::string path_;
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
