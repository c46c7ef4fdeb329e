#include "host/sim/scripted_run.h"

#include <algorithm>

#include "host/sim/beam_raster.h"

beam_fault_t play_raster_frame(snake_t *game, std::int64_t number, std::uint8_t key,
                               frame_use_t use)
{
    raster_begin_frame(number, use);
    // A frame broken off is painted to its end all the same: the raster takes
    // no tick after the fault, so what the painter does then reaches no one,
    // and the loop of every frame pays for no test of it.
    paint_frame(game);
    raster_end_frame();
    if (beam_faulted(raster.fault))
        return raster.fault;
    finish_frame(game, key);
    return {};
}

void run_start(scripted_run_t *run)
{
    run->drawn = 0;
    run->cycle = run_cycle_t{};
    raster_watch(&run->game);
    raster_begin_frame(0, frame_use_t::unheard); // the park is not heard, as in a fresh process
    start_game(&run->game, run->setup);
}

beam_fault_t run_to_frame(scripted_run_t *run, std::int64_t n, frame_use_t use)
{
    const std::int64_t keys_spent = last_key_frame(run->keys);
    while (run->drawn < n) {
        run->drawn = cycle_leap(run->cycle, run->drawn, n);
        const std::int64_t number = run->drawn + 1;
        const beam_fault_t fault =
            play_raster_frame(&run->game, number, key_after(run->keys, number),
                              number == n ? use : frame_use_t::unheard);
        if (beam_faulted(fault))
            return fault;
        run->drawn = number;
        if (run->drawn >= keys_spent)
            cycle_observe(&run->cycle, run->game, run->drawn, run->cycle_search_frames);
    }
    return {};
}

run_cycle_t find_run_cycle(scripted_run_t *run, std::int64_t until)
{
    run_start(run);
    // The search looks from the last key on and no further than this.
    const std::int64_t give_up = last_key_frame(run->keys) + run->cycle_search_frames + 1;
    const std::int64_t last = std::min(until, give_up);
    while (run->cycle.period == 0 && run->drawn < last)
        if (beam_faulted(run_to_frame(run, run->drawn + 1, frame_use_t::unheard)))
            break;
    return run->cycle;
}

namespace {

// Whether the state after frame f comes back `period` frames later.
bool repeats_after(scripted_run_t *run, std::int64_t f, std::int64_t period)
{
    run_start(run);
    run_to_frame(run, f, frame_use_t::unheard);
    const run_state_t at = current_run_state(run->game);
    run_to_frame(run, f + period, frame_use_t::unheard);
    return current_run_state(run->game) == at;
}

} // namespace

std::int64_t earliest_cycle_since(scripted_run_t *run, const run_cycle_t &cycle)
{
    // Once the keys are spent a state that comes back keeps coming back, so
    // the frames that repeat are those from the answer on.
    const std::int64_t search = run->cycle_search_frames;
    run->cycle_search_frames = 0; // every frame played, none leapt over
    std::int64_t lo = std::max<std::int64_t>(1, last_key_frame(run->keys));
    std::int64_t hi = cycle.since;
    while (lo < hi) {
        const std::int64_t mid = lo + (hi - lo) / 2;
        if (repeats_after(run, mid, cycle.period))
            hi = mid;
        else
            lo = mid + 1;
    }
    run->cycle_search_frames = search;
    return hi;
}
