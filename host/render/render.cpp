#include "host/render/render.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "host/sim/beam_raster.h"
#include "host/render/budget_report.h"
#include "host/io/file_output.h"
#include "host/image/frame_image.h"
#include "host/image/gif_writer.h"
#include "host/image/png_writer.h"
#include "host/image/ppm.h"

namespace {

// A failed write; its message names the file.
struct write_failure_t {
    std::string message;
};

void write_whole(const std::string &path, const void *data, std::size_t n)
{
    std::string error;
    if (!write_file_whole(path, data, n, &error))
        throw write_failure_t{error};
}

void write_text(const std::string &path, const std::string &text)
{
    write_whole(path, text.data(), text.size());
}

void write_bytes(const std::string &path, const std::vector<std::uint8_t> &bytes)
{
    write_whole(path, bytes.data(), bytes.size());
}

void make_folder(const std::string &dir)
{
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec)
        throw write_failure_t{"cannot create the folder " + dir + ": " + ec.message()};
}

bool ends_with(const std::string &s, const char *tail)
{
    const std::string t(tail);
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

std::string join(const std::string &dir, const std::string &name)
{
    return (std::filesystem::path(dir) / name).string();
}

// Everything the recorded frames go to.
class frame_sinks_t {
  public:
    explicit frame_sinks_t(const render_job_t &job) : job_(job)
    {
        if (!job.png_dir.empty())
            make_folder(job.png_dir);
        if (!job.ppm_dir.empty())
            make_folder(job.ppm_dir);
        if (!job.gif.empty())
            gif_ = std::make_unique<gif_writer_t>(SCREEN_SIZE * job.scale, SCREEN_SIZE * job.scale,
                                                  job.delay_cs);
    }

    void add(std::int64_t number)
    {
        const std::uint8_t level = job_.setup.level;
        if (!job_.ppm_dir.empty() || ends_with(job_.output, ".ppm")) {
            std::string ppm;
            write_ppm(pixel, ppm);
            if (!job_.ppm_dir.empty())
                write_text(join(job_.ppm_dir, frame_file_name(level, number, "ppm")), ppm);
            if (ends_with(job_.output, ".ppm"))
                write_text(job_.output, ppm);
        }
        if (!job_.png_dir.empty() || ends_with(job_.output, ".png") || gif_) {
            rgb_image_t image = frame_image(pixel);
            if (job_.scale > 1)
                image = scale_image(image, job_.scale);
            if (!job_.png_dir.empty() || ends_with(job_.output, ".png")) {
                const std::vector<std::uint8_t> png = encode_png(image);
                if (!job_.png_dir.empty())
                    write_bytes(join(job_.png_dir, frame_file_name(level, number, "png")), png);
                if (ends_with(job_.output, ".png"))
                    write_bytes(job_.output, png);
            }
            std::string error;
            if (gif_ && !gif_->add_frame(image, &error))
                throw write_failure_t{"cannot add frame " + std::to_string(number) + " to " +
                                      job_.gif + ": " + error};
            if (gif_)
                ++gif_frames_;
        }
    }

    // The GIF holds every frame added; written even when the run stops early.
    void finish()
    {
        if (!gif_ || gif_frames_ == 0)
            return;
        std::vector<std::uint8_t> bytes;
        std::string error;
        if (!gif_->finish(&bytes, &error))
            throw write_failure_t{"cannot finish " + job_.gif + ": " + error};
        write_bytes(job_.gif, bytes);
    }

  private:
    const render_job_t &job_;
    std::unique_ptr<gif_writer_t> gif_;
    std::int64_t gif_frames_ = 0;
};

void write_budget(const render_job_t &job, const std::vector<frame_budget_t> &budget)
{
    if (!job.budget_csv.empty())
        write_text(job.budget_csv, budget_csv(budget));
    if (!job.budget_svg.empty())
        write_text(job.budget_svg, budget_svg(budget, job.frames.step));
}

const char *abort_reason(int status)
{
    return status == EXIT_TICK_LIMIT ? "more than 2000 beam ticks"
                                     : "a wall line that is neither horizontal nor vertical";
}

void show_progress(const render_job_t &job, std::int64_t done, std::int64_t number)
{
    const std::int64_t total = frame_count(job.frames);
    if (!job.progress || total < 2)
        return;
    if (done % 25 == 0 || done == total)
        std::fprintf(stderr, "\rsnake-render: frame %lld (%lld of %lld)%s",
                     static_cast<long long>(number), static_cast<long long>(done),
                     static_cast<long long>(total), done == total ? "\n" : "");
}

} // namespace

std::string frame_file_name(std::uint8_t level, std::int64_t number, const char *extension)
{
    char name[64];
    std::snprintf(name, sizeof name, "level%u_frame%06lld.%s", static_cast<unsigned>(level),
                  static_cast<long long>(number), extension);
    return name;
}

int render(const render_job_t &job)
{
    std::vector<frame_budget_t> budget;
    const bool keep_budget = !job.budget_csv.empty() || !job.budget_svg.empty();
    try {
        frame_sinks_t sinks(job);
        scripted_run_t run;
        run.setup = job.setup;
        run.keys = job.keys;
        run_start(&run);
        std::int64_t done = 0;
        for (std::int64_t n = job.frames.first; n <= job.frames.last; n += job.frames.step) {
            try {
                run_to_frame(&run, n);
            } catch (const beam_abort_t &abort) {
                if (job.progress)
                    std::fputc('\n', stderr);
                budget.push_back(beam_budget); // the offending frame, up to the abort
                sinks.finish();
                write_budget(job, budget);
                std::fprintf(stderr, "snake-render: frame %lld, pass %s: %s\n",
                             static_cast<long long>(beam_budget.frame),
                             BEAM_PASS_NAMES[static_cast<std::size_t>(abort.pass)],
                             abort_reason(abort.status));
                return abort.status;
            }
            if (keep_budget)
                budget.push_back(beam_budget);
            sinks.add(n);
            show_progress(job, ++done, n);
        }
        sinks.finish();
        write_budget(job, budget);
    } catch (const write_failure_t &failure) {
        std::fprintf(stderr, "snake-render: %s\n", failure.message.c_str());
        return EXIT_WRITE_FAILED;
    } catch (const std::exception &e) { // an encoder's fault or no memory: nothing more is written
        std::fprintf(stderr, "snake-render: cannot make the output: %s\n", e.what());
        return EXIT_WRITE_FAILED;
    }
    return 0;
}
