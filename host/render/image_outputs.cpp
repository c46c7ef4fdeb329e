#include "host/render/image_outputs.h"

#include <filesystem>

#include "host/image/frame_image.h"
#include "host/image/gif_writer.h"
#include "host/image/png_writer.h"
#include "host/image/ppm.h"
#include "host/io/whole_files.h"
#include "host/render/output_names.h"

namespace {

std::string join(const std::string &dir, const std::string &name)
{
    return (std::filesystem::path(dir) / name).string();
}

// PPM and PNG files: one frame as -o, or every frame in a folder.
class frame_files_t : public render_output_t {
  public:
    frame_files_t(const render_job_t &job, std::shared_ptr<frame_pictures_t> pictures,
                  image_format_t format, std::string dir, std::string single)
        : level_(job.setup.level), pictures_(std::move(pictures)), format_(format),
          dir_(std::move(dir)), single_(std::move(single))
    {
        if (!dir_.empty())
            make_folder(dir_);
    }

    void frame_drawn(std::int64_t number) override
    {
        const bool ppm = format_ == image_format_t::ppm;
        std::string text;
        std::vector<std::uint8_t> png;
        if (ppm)
            write_ppm(pictures_->afterglow()->pixel.data(), text);
        else
            png = encode_png(pictures_->picture(number));
        for (const std::string &path :
             {dir_.empty() ? std::string() : join(dir_, frame_file_name(level_, number, format_)),
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
    image_format_t format_;
    std::string dir_;
    std::string single_;
};

// The GIF holds every frame added; it is written even when the run stops early.
class gif_file_t : public render_output_t {
  public:
    gif_file_t(const gif_job_t &job, std::shared_ptr<frame_pictures_t> pictures)
        : path_(job.path), pictures_(std::move(pictures)),
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
    const frame_files_job_t &files = job.files;
    const std::optional<image_format_t> format = output_format(files.output);
    const std::string one_ppm = format == image_format_t::ppm ? output_path(files.output) : "";
    const std::string one_png = format == image_format_t::png ? output_path(files.output) : "";
    if (!files.ppm_dir.empty() || !one_ppm.empty())
        outputs->push_back(std::make_unique<frame_files_t>(job, pictures, image_format_t::ppm,
                                                           files.ppm_dir, one_ppm));
    if (!files.png_dir.empty() || !one_png.empty())
        outputs->push_back(std::make_unique<frame_files_t>(job, pictures, image_format_t::png,
                                                           files.png_dir, one_png));
    if (!job.gif.path.empty())
        outputs->push_back(std::make_unique<gif_file_t>(job.gif, pictures));
}
