#include "host/sim/scripted_run.h"

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
