#include "host/render/wav_output.h"

#include <cmath>
#include <exception>
#include <memory>
#include <new>

#include "host/io/whole_files.h"
#include "host/signal/frame_beam.h"

namespace {

// The frames' ticks become samples as each frame is finished, so a frame that
// breaks off never reaches the file; dark ticks at the end of a frame wait for
// the next frame's first lit point.
class wav_file_t : public render_output_t {
  public:
    explicit wav_file_t(const wav_job_t &job)
        : path_(job.path), seconds_(job.seconds), signal_(job.signal),
          writer_(static_cast<int>(job.signal.rate), signal_channels(job.signal), job.format)
    {
    }

    void frame_drawn(std::int64_t) override
    {
        ++frames_;
        if (seconds_ > 0) {
            frame_ = beam_.ticks();
        } else {
            signal_.add(beam_.ticks());
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
            std::vector<float> values = repeated_frame(signal_.format(), frame_, samples);
            write(values);
        } else {
            signal_.finish();
            write(signal_.values());
        }
        std::vector<std::uint8_t> bytes;
        try {
            bytes = writer_.finish();
        } catch (const std::exception &e) {
            throw write_failure_t{"cannot finish " + path_ + ": " + e.what()};
        }
        write_bytes(path_, bytes);
    }

  private:
    void write(std::vector<float> &values)
    {
        try {
            writer_.write(values);
        } catch (const std::bad_alloc &) {
            throw; // the render says it
        } catch (const std::exception &e) {
            throw write_failure_t{"cannot make " + path_ + ": " + e.what()};
        }
        values.clear();
    }

    std::string path_;
    double seconds_;
    frame_beam_t beam_;
    beam_signal_t signal_;
    wav_writer_t writer_;
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
