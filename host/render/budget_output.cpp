#include "host/render/budget_output.h"

#include <vector>

#include "host/io/whole_files.h"
#include "host/render/budget_report.h"
#include "host/sim/beam_raster.h"

namespace {

class budget_files_t : public render_output_t {
  public:
    budget_files_t(const budget_job_t &job, std::int64_t step) : job_(job), step_(step) {}

    void frame_drawn(std::int64_t) override {}
    void frame_aborted(const beam_fault_t &fault) override { frames_.push_back(fault.budget); }

    void finish() override
    {
        if (!job_.csv.empty())
            write_text(job_.csv, budget_csv(frames_));
        if (!job_.svg.empty())
            write_text(job_.svg, budget_svg(frames_, step_));
    }

  private:
    // A frame that broke off comes with its fault instead.
    static void on_frame_end(void *self, const beam_frame_end_t &end)
    {
        if (end.fault == nullptr)
            static_cast<budget_files_t *>(self)->frames_.push_back(*end.budget);
    }
    budget_job_t job_;
    std::int64_t step_;
    std::vector<frame_budget_t> frames_;
    beam_listening_t listening_{{this, nullptr, nullptr, on_frame_end}};
};

} // namespace

void add_budget_output(const render_job_t &job, render_outputs_t *outputs)
{
    if (!job.budget.csv.empty() || !job.budget.svg.empty())
        outputs->push_back(std::make_unique<budget_files_t>(job.budget, job.frames.step));
}
