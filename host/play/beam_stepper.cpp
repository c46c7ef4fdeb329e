#include "host/play/beam_stepper.h"

#include <algorithm>

namespace {

// A stall (a dragged window) does not turn into a burst of ticks.
constexpr std::int64_t SLOW_STALL_US = 100000;

void hear(void *stepper, const beam_tick_t &tick)
{
    static_cast<beam_stepper_t *>(stepper)->ticks.push_back(tick);
}

bool all_shown(const beam_stepper_t &st) { return st.painted && st.shown == st.ticks.size(); }

void begin_frame(beam_stepper_t *st, play_session_t *s)
{
    session_frame_begin(s);
    st->listening = std::make_unique<beam_listening_t>(beam_listener_t{st, hear});
    st->open = true;
}

void end_frame(beam_stepper_t *st, play_session_t *s)
{
    if (!st->painted)
        session_paint_rest(s);
    stepper_drop(st);
    session_frame_end(s);
}

void show_next_tick(beam_stepper_t *st, play_session_t *s)
{
    if (st->open && all_shown(*st))
        end_frame(st, s);
    if (!st->open) {
        if (s->stopped)
            return;
        begin_frame(st, s);
    }
    const std::size_t want = st->shown + 1;
    while (st->ticks.size() < want && !st->painted)
        st->painted = session_paint_step(s);
    st->shown = std::min(want, st->ticks.size());
}

} // namespace

void stepper_step(beam_stepper_t *st, play_session_t *s)
{
    if (s->stopped && !st->open)
        return;
    s->paused = true;
    show_next_tick(st, s);
}

void stepper_toggle_slow(beam_stepper_t *st)
{
    st->slow = !st->slow;
    st->due = 0;
    st->last_us = -1;
}

bool stepper_run(beam_stepper_t *st, play_session_t *s, std::int64_t now_us)
{
    if (!st->slow) {
        if (!st->open)
            return false;
        if (!s->paused)
            end_frame(st, s); // the frame left when slow motion was turned off
        return true;
    }
    const std::int64_t elapsed = st->last_us < 0 ? 0 : now_us - st->last_us;
    st->last_us = now_us;
    if (s->paused || (s->stopped && !st->open))
        return true;
    st->due += static_cast<double>(std::min(elapsed, SLOW_STALL_US)) * st->ticks_per_second / 1e6;
    while (st->due >= 1) {
        st->due -= 1;
        if (st->open && all_shown(*st)) {
            end_frame(st, s); // one frame a pass: the driver checks its limits between
            return true;
        }
        show_next_tick(st, s);
        if (!st->open)
            return true; // the game has stopped
    }
    return true;
}

void stepper_drop(beam_stepper_t *st)
{
    st->listening.reset();
    st->ticks.clear();
    st->open = false;
    st->painted = false;
    st->shown = 0;
}

std::unique_ptr<afterglow_t> stepper_glow(const beam_stepper_t &st)
{
    auto glow = std::make_unique<afterglow_t>();
    afterglow_clear(glow.get());
    for (std::size_t i = 0; i < st.shown; ++i)
        afterglow_light(glow.get(), st.ticks[i]);
    return glow;
}
