#include "host/render/beam_outputs.h"

#include <array>
#include <charconv>
#include <memory>
#include <vector>

#include "host/io/sink.h"

#include "host/image/png_writer.h"
#include "host/render/trace_scene.h"
#include "host/sim/beam_raster.h"

namespace {

void put_int(std::string &out, std::int64_t v)
{
    std::array<char, 24> buf{};
    out.append(buf.data(), std::to_chars(buf.data(), buf.data() + buf.size(), v).ptr);
}

// Bytes of CSV gathered before they go to the file; a frame's lines go at
// its end anyway, so a pipe gets each frame as it is made.
constexpr std::size_t CSV_BUFFER = 1 << 16;

// Every beam operation of every frame written, the aborted one's too, each
// frame's lines sent on as the frame ends.
class beam_csv_file_t : public render_output_t {
  public:
    explicit beam_csv_file_t(const std::string &path) : file_(path)
    {
        text_.reserve(2 * CSV_BUFFER);
        text_ = BEAM_CSV_HEADER;
    }

    void frame_drawn(std::int64_t) override { send(); }
    void frame_aborted(const beam_fault_t &) override { send(); }
    std::string failure() const override { return file_.failure(); }
    void commit() override { file_.commit(); }

  private:
    void send()
    {
        sink_write(file_.sink(), text_.data(), text_.size());
        text_.clear();
    }

    // A listener: a failed write waits in the sink for failure().
    static void hear(void *self, const beam_tick_t &tick)
    {
        auto *csv = static_cast<beam_csv_file_t *>(self);
        append_beam_csv_line(csv->text_, tick);
        if (csv->text_.size() >= CSV_BUFFER)
            csv->send();
    }

    output_file_t file_;
    std::string text_;
    beam_listening_t listening_{{this, hear}};
};

// The one frame of the job, drawn as the beam's path once the run is over.
class beam_trace_file_t : public render_output_t {
  public:
    beam_trace_file_t(const std::string &path, std::uint8_t level) : file_(path)
    {
        frame_.level = level;
    }

    void frame_drawn(std::int64_t number) override { frame_.frame = number; }
    void frame_aborted(const beam_fault_t &fault) override { frame_.frame = fault.frame; }

    void finish() override
    {
        if (frame_.ticks.empty())
            return; // the run stopped before the frame
        const trace_scene_t scene = trace_scene(frame_);
        if (file_.name().ends_with(".png")) {
            const std::vector<std::uint8_t> png = encode_png(trace_picture(scene));
            sink_write(file_.sink(), png.data(), png.size());
        } else {
            const std::string svg = trace_svg(scene);
            sink_write(file_.sink(), svg.data(), svg.size());
        }
    }

    std::string failure() const override { return file_.failure(); }

    void commit() override
    {
        if (!frame_.ticks.empty())
            file_.commit();
    }

  private:
    static void hear(void *self, const beam_tick_t &tick)
    {
        static_cast<beam_trace_file_t *>(self)->frame_.ticks.push_back(tick);
    }

    output_file_t file_;
    trace_frame_t frame_;
    beam_listening_t listening_{{this, hear}};
};

} // namespace

void append_beam_csv_line(std::string &out, const beam_tick_t &tick)
{
    put_int(out, tick.frame);
    out += ',';
    put_int(out, tick.tick);
    out += ',';
    out += BEAM_PASS_NAMES[static_cast<std::size_t>(tick.pass)];
    if (!tick.lit) {
        out += ",0,,\n";
        return;
    }
    out += ",1,";
    put_int(out, tick.x);
    out += ',';
    put_int(out, tick.y);
    out += '\n';
}

void add_beam_outputs(const render_job_t &job, render_outputs_t *outputs)
{
    if (!job.beam.csv.empty())
        outputs->push_back(std::make_unique<beam_csv_file_t>(job.beam.csv));
    if (!job.beam.trace.empty())
        outputs->push_back(std::make_unique<beam_trace_file_t>(job.beam.trace, job.setup.level));
}
