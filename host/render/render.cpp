#include "host/render/render.h"

#include <exception>
#include <memory>
#include <new>

#include "host/io/temp_files.h"
#include "host/render/beam_outputs.h"
#include "host/render/budget_output.h"
#include "host/render/frame_pictures.h"
#include "host/render/image_outputs.h"
#include "host/render/light_plan.h"
#include "host/render/render_output.h"
#include "host/render/video_output.h"
#include "host/render/wav_output.h"
#include "host/sim/scripted_run.h"

namespace {

bool wants_pictures(const render_job_t &job)
{
    const frame_files_job_t &f = job.files;
    return !f.output.empty() || !f.png_dir.empty() || !f.ppm_dir.empty() || !job.gif.path.empty() ||
           !job.video.path.empty();
}

// The pictures, when some output takes them, and how the tube's light is
// brought to each frame.
struct pictures_t {
    std::shared_ptr<frame_pictures_t> pictures;
    light_plan_t light;
};

pictures_t make_pictures(const render_job_t &job)
{
    pictures_t p;
    if (!wants_pictures(job))
        return p;
    p.pictures = std::make_shared<frame_pictures_t>(job.picture);
    if (job.picture.look == look_t::tube)
        p.light = plan_light(tube_t::history_frames(job.picture.tube), job.setup, job.keys,
                             job.frames.last);
    return p;
}

render_outputs_t make_outputs(const render_job_t &job, const pictures_t &p)
{
    render_outputs_t outputs;
    if (p.pictures) {
        add_image_outputs(job, p.pictures, &outputs);
        add_video_output(job, p.pictures, &outputs);
    }
    add_budget_output(job, &outputs);
    add_beam_outputs(job, &outputs);
    add_wav_output(job, &outputs);
    return outputs;
}

// A write that failed ends the run at once, before the next frame.
void check_writes(const render_outputs_t &outputs)
{
    for (const auto &o : outputs) {
        std::string failure = o->failure();
        if (!failure.empty())
            throw write_failure_t{std::move(failure)};
    }
}

// The outputs' last bytes, then each put in place; a signal waits until
// all are, so that a run leaves either all its files or none.
void finish_all(const render_outputs_t &outputs)
{
    for (const auto &o : outputs)
        o->finish();
    check_writes(outputs);
    signals_held_t held;
    hold_signals(&held);
    for (const auto &o : outputs)
        o->commit();
    release_signals(&held);
}

// Frames `from` to `to` played for their light.
beam_fault_t play_for_light(scripted_run_t *run, std::int64_t from, std::int64_t to)
{
    for (std::int64_t f = from; f <= to; ++f) {
        const beam_fault_t fault = run_to_frame(run, f, frame_use_t::light);
        if (beam_faulted(fault))
            return fault;
    }
    return {};
}

// Gives the tube the light of frame m, by the route the plan finds.
beam_fault_t bring_light(scripted_run_t *run, tube_t *tube, const light_plan_t &plan,
                         light_state_t *state, std::int64_t m)
{
    if (m <= state->heard)
        return {};
    const light_route_t route = light_route(plan, *state, m);
    beam_fault_t fault = play_for_light(run, route.play_from, route.play_to);
    if (!beam_faulted(fault) && route.learn) {
        tube->begin_period(static_cast<int>(route.prefix));
        fault = play_for_light(run, route.play_to + 1, route.play_to + plan.period);
        tube->end_period();
    }
    if (beam_faulted(fault))
        return fault;
    if (route.periods > 0)
        tube->leap(route.periods, route.leap_prefix);
    *state = light_state_after(*state, route, m);
    return play_for_light(run, route.then_from, route.then_to);
}

// Plays through the range; a fault ends it after the outputs have taken the
// frames before it and the frame that broke off.
beam_fault_t play_range(const render_job_t &job, const pictures_t &pictures,
                        const render_outputs_t &outputs, const render_progress_t &progress)
{
    scripted_run_t run;
    run.setup = job.setup;
    run.keys = job.keys;
    run_start(&run);
    tube_t *tube = pictures.pictures ? pictures.pictures->tube() : nullptr;
    light_state_t light;
    const frame_range_t &range = job.frames;
    const std::int64_t total = frame_count(range);
    std::int64_t done = 0;
    for (std::int64_t n = range.first; n <= range.last; n += range.step) {
        beam_fault_t fault =
            tube ? bring_light(&run, tube, pictures.light, &light, n - 1) : beam_fault_t{};
        if (!beam_faulted(fault))
            fault = run_to_frame(&run, n, frame_use_t::asked);
        if (beam_faulted(fault)) {
            for (const auto &o : outputs)
                o->frame_aborted(fault);
            finish_all(outputs);
            return fault;
        }
        light.heard = n;
        for (const auto &o : outputs)
            o->frame_drawn(n);
        check_writes(outputs);
        if (progress)
            progress(++done, total, n);
    }
    finish_all(outputs);
    return {};
}

// Why the run failed: a write that failed first, as it says more than
// the encoder that met it.
std::string failure_of(const render_outputs_t &outputs, const std::string &thrown)
{
    for (const auto &o : outputs) {
        std::string failure = o->failure();
        if (!failure.empty())
            return failure;
    }
    return thrown;
}

} // namespace

render_end_t render(const render_job_t &job, const render_progress_t &progress)
{
    // Dropped without commit() on a failure, the outputs leave their files as they were.
    render_outputs_t outputs;
    try {
        const pictures_t pictures = make_pictures(job);
        outputs = make_outputs(job, pictures);
        return {play_range(job, pictures, outputs, progress), {}};
    } catch (const write_failure_t &failure) {
        return {{}, failure_of(outputs, failure.message)};
    } catch (const std::bad_alloc &) { // the outputs hold a frame or a picture in memory
        return {{},
                failure_of(outputs, "out of memory: the outputs could not be made (a smaller "
                                    "--size or a shorter range needs less)")};
    } catch (const std::exception &e) { // an encoder's fault or no memory: nothing more is written
        return {{}, failure_of(outputs, std::string("cannot make the output: ") + e.what())};
    }
}
