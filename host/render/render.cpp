#include "host/render/render.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "host/exit_status.h"
#include "host/render/beam_outputs.h"
#include "host/render/budget_report.h"
#include "host/render/frame_pictures.h"
#include "host/render/image_outputs.h"
#include "host/render/render_output.h"
#include "host/render/video_output.h"
#include "host/render/wav_output.h"
#include "host/sim/beam_raster.h"
#include "host/sim/scripted_run.h"

namespace {

// The beam budget of every recorded frame, and of a frame that stops the run.
class budget_files_t : public render_output_t {
  public:
    explicit budget_files_t(const render_job_t &job)
        : csv_(job.budget_csv), svg_(job.budget_svg), step_(job.frames.step)
    {
    }

    void frame_drawn(std::int64_t) override { budget_.push_back(raster.budget); }
    void frame_aborted(const beam_abort_t &) override { budget_.push_back(raster.budget); }

    void finish() override
    {
        if (!csv_.empty())
            write_text(csv_, budget_csv(budget_));
        if (!svg_.empty())
            write_text(svg_, budget_svg(budget_, step_));
    }

  private:
    std::string csv_;
    std::string svg_;
    std::int64_t step_;
    std::vector<frame_budget_t> budget_;
};

render_outputs_t make_outputs(const render_job_t &job)
{
    render_outputs_t outputs;
    const auto pictures = std::make_shared<frame_pictures_t>(job);
    add_image_outputs(job, pictures, &outputs);
    add_video_output(job, pictures, &outputs);
    if (!job.budget_csv.empty() || !job.budget_svg.empty())
        outputs.push_back(std::make_unique<budget_files_t>(job));
    add_beam_outputs(job, &outputs);
    add_wav_output(job, &outputs);
    return outputs;
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

const char *output_format(const std::string &name)
{
    if (name == "-" || name == "ppm:-" || (name.size() > 4 && ends_with(name, ".ppm")))
        return "ppm";
    if (name == "png:-" || (name.size() > 4 && ends_with(name, ".png")))
        return "png";
    return nullptr;
}

std::string output_path(const std::string &name)
{
    return name == "ppm:-" || name == "png:-" ? "-" : name;
}

std::string frame_file_name(std::uint8_t level, std::int64_t number, const char *extension)
{
    char name[64];
    std::snprintf(name, sizeof name, "level%u_frame%06lld.%s", static_cast<unsigned>(level),
                  static_cast<long long>(number), extension);
    return name;
}

// Plays through the range; a beam abort ends it after the outputs have
// taken the frames before it and the aborted frame.
int play_range(const render_job_t &job, const render_outputs_t &outputs)
{
    scripted_run_t run;
    run.setup = job.setup;
    run.keys = job.keys;
    run_start(&run);
    std::int64_t done = 0;
    for (std::int64_t n = first_recorded(job); n <= job.frames.last; n = next_recorded(job, n)) {
        try {
            run_to_frame(&run, n);
        } catch (const beam_abort_t &abort) {
            if (job.progress)
                std::fputc('\n', stderr);
            for (const auto &o : outputs)
                o->frame_aborted(abort);
            for (const auto &o : outputs)
                o->finish();
            std::fprintf(stderr, "snake-render: %s: %s\n", abort_place(abort).c_str(),
                         abort_reason(abort).c_str());
            return abort.status;
        }
        if (!frame_written(job.frames, n))
            continue; // played only for the light it leaves
        for (const auto &o : outputs)
            o->frame_drawn(n);
        show_progress(job, ++done, n);
    }
    for (const auto &o : outputs)
        o->finish();
    return 0;
}

int render(const render_job_t &job)
{
    try {
        const render_outputs_t outputs = make_outputs(job);
        return play_range(job, outputs);
    } catch (const write_failure_t &failure) {
        std::fprintf(stderr, "snake-render: %s\n", failure.message.c_str());
        return EXIT_WRITE_FAILED;
    } catch (const std::exception &e) { // an encoder's fault or no memory: nothing more is written
        std::fprintf(stderr, "snake-render: cannot make the output: %s\n", e.what());
        return EXIT_WRITE_FAILED;
    }
}
