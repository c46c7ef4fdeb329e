#include "host/render/budget_output.h"

#include <optional>

#include "host/io/sink.h"
#include "host/render/budget_report.h"
#include "host/sim/beam_raster.h"
#include "host/sim/scripted_run.h"

namespace {

// The raster's listeners taken out for a while, and put back.
class listeners_set_aside_t {
  public:
    listeners_set_aside_t() : saved_(raster.listeners), count_(raster.listener_count)
    {
        raster.listener_count = 0;
    }
    ~listeners_set_aside_t()
    {
        raster.listeners = saved_;
        raster.listener_count = count_;
    }
    listeners_set_aside_t(const listeners_set_aside_t &) = delete;
    listeners_set_aside_t &operator=(const listeners_set_aside_t &) = delete;

  private:
    decltype(raster.listeners) saved_;
    std::size_t count_;
};

void add_to_plot(void *plot, const beam_frame_end_t &end)
{
    if (end.fault == nullptr)
        static_cast<budget_plot_t *>(plot)->add(*end.budget);
}

// The plot of a run that broke off before its last frame spans fewer frames,
// so its pixel columns are others. Their frames are heard again by playing the
// game again up to the frame that broke off: the same game gives the same
// frames. Nothing else hears it.
budget_plot_t replayed_plot(const render_job_t &job, std::int64_t broken)
{
    budget_plot_t plot(job.frames.first, broken, job.frames.step);
    const listeners_set_aside_t aside;
    const beam_listening_t listening({&plot, nullptr, nullptr, add_to_plot});
    scripted_run_t run;
    run.setup = job.setup;
    run.keys = job.keys;
    run_start(&run);
    for (std::int64_t n = job.frames.first; n <= job.frames.last; n += job.frames.step) {
        const beam_fault_t fault = run_to_frame(&run, n, frame_use_t::asked);
        if (beam_faulted(fault)) {
            plot.add(fault.budget);
            break;
        }
    }
    return plot;
}

// The CSV goes out a line a frame as the frames end; the plot is drawn at the
// end, from the busiest frame of each pixel column.
class budget_files_t : public render_output_t {
  public:
    explicit budget_files_t(const render_job_t &job) : job_(job)
    {
        if (!job.budget.csv.empty()) {
            csv_.emplace(job.budget.csv);
            text_ = budget_csv_header();
        }
        if (!job.budget.svg.empty()) {
            svg_.emplace(job.budget.svg);
            plot_.emplace(job.frames.first, job.frames.last, job.frames.step);
        }
    }

    void frame_drawn(std::int64_t) override
    {
        ++drawn_;
        send();
    }

    void frame_aborted(const beam_fault_t &fault) override
    {
        broken_ = fault.budget;
        if (csv_)
            append_budget_csv_line(text_, fault.budget);
        send();
    }

    void finish() override
    {
        if (!svg_)
            return;
        const std::int64_t broken = broken_ ? broken_->frame : 0;
        if (broken_ && drawn_ == 0) { // the run broke off before its first frame
            plot_.emplace(broken, broken, job_.frames.step);
            plot_->add(*broken_);
        } else if (broken_ && broken != job_.frames.last) {
            plot_ = replayed_plot(job_, broken);
        } else if (broken_) {
            plot_->add(*broken_);
        }
        const std::string svg = plot_->svg();
        sink_write(svg_->sink(), svg.data(), svg.size());
    }

    std::string failure() const override
    {
        const std::string csv = csv_ ? csv_->failure() : "";
        return !csv.empty() || !svg_ ? csv : svg_->failure();
    }

    void commit() override
    {
        if (csv_)
            csv_->commit();
        if (svg_)
            svg_->commit();
    }

  private:
    void add(const frame_budget_t &budget)
    {
        if (csv_)
            append_budget_csv_line(text_, budget);
        if (plot_)
            plot_->add(budget);
    }

    void send()
    {
        if (csv_ && !text_.empty())
            sink_write(csv_->sink(), text_.data(), text_.size());
        text_.clear();
    }

    // A frame that broke off comes with its fault instead.
    static void on_frame_end(void *self, const beam_frame_end_t &end)
    {
        if (end.fault == nullptr)
            static_cast<budget_files_t *>(self)->add(*end.budget);
    }

    const render_job_t &job_;
    std::optional<output_file_t> csv_;
    std::optional<output_file_t> svg_;
    std::string text_;                     // CSV lines not yet sent
    std::optional<budget_plot_t> plot_;    // of the frames so far
    std::int64_t drawn_ = 0;               // frames drawn whole
    std::optional<frame_budget_t> broken_; // the frame that broke off the run
    beam_listening_t listening_{{this, nullptr, nullptr, on_frame_end}};
};

} // namespace

void add_budget_output(const render_job_t &job, render_outputs_t *outputs)
{
    if (!job.budget.csv.empty() || !job.budget.svg.empty())
        outputs->push_back(std::make_unique<budget_files_t>(job));
}
