#include "host/render/wav_output.h"

#include <cmath>
#include <exception>
#include <memory>
#include <new>
#include <optional>

#include "host/io/target_place.h"
#include "host/signal/frame_beam.h"

namespace {

// Values handed to libsndfile at a time (256 KiB of floats): a write of
// each frame's few kilobytes costs the kernel more than the bytes do.
constexpr std::size_t WRITE_PIECE = 1 << 16;

// The frames' ticks become samples as each frame is finished, and go to the
// file in pieces of whole frames, so a frame that breaks off never reaches
// it; dark ticks at the end of a frame wait for the next frame's first lit
// point. libsndfile
// goes back to the file's start for the header at the end, so the file must
// take seeks: a pipe or a terminal is refused when the output is made.
class wav_file_t : public render_output_t {
  public:
    explicit wav_file_t(const wav_job_t &job)
        : file_(job.path), seconds_(job.seconds), signal_(job.signal)
    {
        if (!file_.seekable())
            throw write_failure_t{"cannot write a WAV " + shown() +
                                  ": libsndfile writes a WAV's length at its start once the "
                                  "samples are done, so it needs a file, not a pipe or a terminal"};
        writer_.emplace(static_cast<int>(job.signal.rate), signal_channels(job.signal), job.format,
                        file_.out());
    }

    void frame_drawn(std::int64_t) override
    {
        ++frames_;
        if (seconds_ > 0) {
            frame_ = beam_.ticks();
        } else {
            signal_.add(beam_.ticks());
            if (signal_.values().size() >= WRITE_PIECE)
                write(signal_.values());
        }
        beam_.clear();
    }

    void frame_aborted(const beam_fault_t &) override { beam_.clear(); }

    void finish() override
    {
        if (frames_ == 0)
            return;
        if (seconds_ > 0) {
            const auto samples = static_cast<std::int64_t>(
                std::llround(seconds_ * static_cast<double>(signal_.format().rate)));
            repeat_frame(
                signal_.format(), frame_, samples, WRITE_PIECE,
                [](void *self, std::vector<float> &values) {
                    static_cast<wav_file_t *>(self)->write(values);
                },
                this);
        } else {
            signal_.finish();
            write(signal_.values());
        }
        try {
            writer_->finish();
        } catch (const std::exception &e) {
            throw write_failure_t{"cannot finish " + file_.name() + ": " + e.what()};
        }
    }

    std::string failure() const override { return file_.failure(); }

    void commit() override
    {
        if (frames_ > 0)
            file_.commit();
    }

  private:
    std::string shown() const
    {
        return file_.name() == "-" ? "to standard output" : "to " + shown_name(file_.name());
    }

    void write(std::vector<float> &values)
    {
        try {
            writer_->write(values);
        } catch (const std::bad_alloc &) {
            throw; // the render says it
        } catch (const std::exception &e) {
            throw write_failure_t{"cannot make " + file_.name() + ": " + e.what()};
        }
        values.clear();
    }

    output_file_t file_;
    double seconds_;
    frame_beam_t beam_;
    beam_signal_t signal_;
    std::optional<wav_writer_t> writer_;
    std::vector<beam_point_t> frame_; // the frame to repeat
    std::int64_t frames_ = 0;
};

} // namespace

bool wav_job_valid(const render_job_t &job, std::string *error)
{
    if (job.wav.path.empty())
        return true;
    if (job.frames.step != 1 && frame_count(job.frames) > 1) {
        *error = "--wav takes every frame of a range (A-B): audio has no gaps, so no /STEP";
        return false;
    }
    if (job.wav.seconds > 0 && frame_count(job.frames) != 1) {
        *error = "--seconds repeats one frame: give FRAMES as a single N";
        return false;
    }
    return true;
}

void add_wav_output(const render_job_t &job, render_outputs_t *outputs)
{
    if (!job.wav.path.empty())
        outputs->push_back(std::make_unique<wav_file_t>(job.wav));
}
