#include "host/render/beam_outputs.h"

#include <array>
#include <charconv>
#include <memory>
#include <vector>

#include "host/image/png_writer.h"
#include "host/io/whole_files.h"
#include "host/render/trace_scene.h"
#include "host/sim/beam_raster.h"

namespace {

void put_int(std::string &out, std::int64_t v)
{
    std::array<char, 24> buf{};
    out.append(buf.data(), std::to_chars(buf.data(), buf.data() + buf.size(), v).ptr);
}

// Every beam operation of every frame written.
class beam_csv_file_t : public render_output_t {
  public:
    explicit beam_csv_file_t(std::string path) : path_(std::move(path)) {}

    void frame_drawn(std::int64_t) override {}
    void finish() override { write_text(path_, text_); }

  private:
    static void hear(void *self, const beam_tick_t &tick)
    {
        append_beam_csv_line(static_cast<beam_csv_file_t *>(self)->text_, tick);
    }

    std::string path_;
    std::string text_ = BEAM_CSV_HEADER;
    beam_listening_t listening_{{this, hear}};
};

// The one frame of the job, drawn as the beam's path once the run is over.
class beam_trace_file_t : public render_output_t {
  public:
    beam_trace_file_t(std::string path, std::uint8_t level) : path_(std::move(path))
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
        if (path_.ends_with(".png"))
            write_bytes(path_, encode_png(trace_picture(scene)));
        else
            write_text(path_, trace_svg(scene));
    }

  private:
    static void hear(void *self, const beam_tick_t &tick)
    {
        static_cast<beam_trace_file_t *>(self)->frame_.ticks.push_back(tick);
    }

    std::string path_;
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
