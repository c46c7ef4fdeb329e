#include "host/render/image_outputs.h"

#include <filesystem>
#include <optional>

#include "host/image/frame_image.h"
#include "host/image/gif_writer.h"
#include "host/image/png_writer.h"
#include "host/image/ppm.h"
#include "host/io/sink.h"
#include "host/render/output_names.h"

namespace {

std::string join(const std::string &dir, const std::string &name)
{
    return (std::filesystem::path(dir) / name).string();
}

void make_folder(const std::string &dir)
{
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec)
        throw write_failure_t{"cannot create the folder " + dir + ": " + ec.message()};
}

// A frame's file in a folder, written whole as it comes.
void write_frame_file(const std::string &path, const void *data, std::size_t n)
{
    output_file_t file(path);
    sink_write(file.sink(), data, n);
    if (!file.failure().empty())
        throw write_failure_t{file.failure()};
    file.commit();
}

// PPM and PNG files: one frame as -o, opened before the work, or every frame
// in a folder (made before the work), each file written as its frame comes.
class frame_files_t : public render_output_t {
  public:
    frame_files_t(const render_job_t &job, std::shared_ptr<frame_pictures_t> pictures,
                  image_format_t format, std::string dir, const std::string &single)
        : level_(job.setup.level), pictures_(std::move(pictures)), format_(format),
          dir_(std::move(dir))
    {
        if (!dir_.empty())
            make_folder(dir_);
        if (!single.empty())
            single_.emplace(single);
    }

    void frame_drawn(std::int64_t number) override
    {
        std::string ppm;
        std::vector<std::uint8_t> png;
        if (format_ == image_format_t::ppm)
            write_ppm(pictures_->afterglow()->pixel.data(), ppm);
        else
            png = encode_png(pictures_->picture(number));
        const void *data = ppm.empty() ? static_cast<const void *>(png.data()) : ppm.data();
        const std::size_t n = ppm.empty() ? png.size() : ppm.size();
        if (!dir_.empty())
            write_frame_file(join(dir_, frame_file_name(level_, number, format_)), data, n);
        if (single_) {
            sink_write(single_->sink(), data, n);
            written_ = true;
        }
    }

    std::string failure() const override { return single_ ? single_->failure() : ""; }

    void commit() override
    {
        if (single_ && written_)
            single_->commit();
    }

  private:
    std::uint8_t level_;
    std::shared_ptr<frame_pictures_t> pictures_;
    image_format_t format_;
    std::string dir_;
    std::optional<output_file_t> single_;
    bool written_ = false;
};

// The GIF goes out frame by frame; it holds every frame drawn, also when the
// run stops early, and is not written without any.
class gif_file_t : public render_output_t {
  public:
    gif_file_t(const gif_job_t &job, std::shared_ptr<frame_pictures_t> pictures)
        : file_(job.path), pictures_(std::move(pictures)),
          gif_(pictures_->side(), pictures_->side(), job.delay_cs, file_.sink())
    {
    }

    void frame_drawn(std::int64_t number) override
    {
        std::string error;
        if (!gif_.add_frame(pictures_->picture(number, true), &error))
            throw write_failure_t{"cannot add frame " + std::to_string(number) + " to " +
                                  file_.name() + ": " + error};
        ++frames_;
    }

    void finish() override
    {
        std::string error;
        if (frames_ > 0 && !gif_.finish(&error))
            throw write_failure_t{"cannot finish " + file_.name() + ": " + error};
    }

    std::string failure() const override { return file_.failure(); }

    void commit() override
    {
        if (frames_ > 0)
            file_.commit();
    }

  private:
    output_file_t file_;
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
