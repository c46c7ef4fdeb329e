#include "host/render/image_outputs.h"

#include <filesystem>

#include "host/image/frame_image.h"
#include "host/image/gif_writer.h"
#include "host/image/png_writer.h"
#include "host/image/ppm.h"

namespace {

std::string join(const std::string &dir, const std::string &name)
{
    return (std::filesystem::path(dir) / name).string();
}

// PPM and PNG files: one frame as -o, or every frame in a folder.
class frame_files_t : public render_output_t {
  public:
    frame_files_t(const render_job_t &job, std::shared_ptr<frame_pictures_t> pictures,
                  const char *extension, std::string dir, std::string single)
        : level_(job.setup.level), pictures_(std::move(pictures)), extension_(extension),
          dir_(std::move(dir)), single_(std::move(single))
    {
        if (!dir_.empty())
            make_folder(dir_);
    }

    void frame_drawn(std::int64_t number) override
    {
        const bool ppm = extension_ == std::string("ppm");
        std::string text;
        std::vector<std::uint8_t> png;
        if (ppm)
            write_ppm(raster.pixel.data(), text);
        else
            png = encode_png(pictures_->picture(number));
        for (const std::string &path :
             {dir_.empty() ? std::string()
                           : join(dir_, frame_file_name(level_, number, extension_)),
              single_}) {
            if (path.empty())
                continue;
            if (ppm)
                write_text(path, text);
            else
                write_bytes(path, png);
        }
    }

  private:
    std::uint8_t level_;
    std::shared_ptr<frame_pictures_t> pictures_;
    const char *extension_;
    std::string dir_;
    std::string single_;
};

// The GIF holds every frame added; it is written even when the run stops early.
class gif_file_t : public render_output_t {
  public:
    gif_file_t(const render_job_t &job, std::shared_ptr<frame_pictures_t> pictures)
        : path_(job.gif), pictures_(std::move(pictures)),
          gif_(pictures_->side(), pictures_->side(), job.delay_cs)
    {
    }

    void frame_drawn(std::int64_t number) override
    {
        std::string error;
        if (!gif_.add_frame(pictures_->picture(number, true), &error))
            throw write_failure_t{"cannot add frame " + std::to_string(number) + " to " + path_ +
                                  ": " + error};
        ++frames_;
    }

    void finish() override
    {
        if (frames_ == 0)
            return;
        std::vector<std::uint8_t> bytes;
        std::string error;
        if (!gif_.finish(&bytes, &error))
            throw write_failure_t{"cannot finish " + path_ + ": " + error};
        write_bytes(path_, bytes);
    }

  private:
    std::string path_;
    std::shared_ptr<frame_pictures_t> pictures_;
    gif_writer_t gif_;
    std::int64_t frames_ = 0;
};

} // namespace

void add_image_outputs(const render_job_t &job, const std::shared_ptr<frame_pictures_t> &pictures,
                       render_outputs_t *outputs)
{
    const char *format = job.output.empty() ? "" : output_format(job.output);
    const std::string one_ppm = format == std::string("ppm") ? output_path(job.output) : "";
    const std::string one_png = format == std::string("png") ? output_path(job.output) : "";
    if (!job.ppm_dir.empty() || !one_ppm.empty())
        outputs->push_back(
            std::make_unique<frame_files_t>(job, pictures, "ppm", job.ppm_dir, one_ppm));
    if (!job.png_dir.empty() || !one_png.empty())
        outputs->push_back(
            std::make_unique<frame_files_t>(job, pictures, "png", job.png_dir, one_png));
    if (!job.gif.empty())
        outputs->push_back(std::make_unique<gif_file_t>(job, pictures));
}
