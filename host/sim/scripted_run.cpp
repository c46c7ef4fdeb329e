#include "host/sim/scripted_run.h"

#include "host/sim/beam_raster.h"

void play_raster_frame(snake_t *game, std::int64_t number, std::uint8_t key, bool record)
{
    raster_begin_frame(number, record);
    play_frame(game, key);
}

void run_start(scripted_run_t *run)
{
    run->drawn = 0;
    run->cycle = run_cycle_t{};
    raster_watch(&run->game);
    raster_begin_frame(0, false); // the park is not recorded, as in a fresh process
    start_game(&run->game, run->setup);
}

void run_to_frame(scripted_run_t *run, std::int64_t n)
{
    const std::int64_t keys_spent = last_key_frame(run->keys);
    while (run->drawn < n) {
        run->drawn = cycle_leap(run->cycle, run->drawn, n);
        const std::int64_t number = run->drawn + 1;
        play_raster_frame(&run->game, number, key_after(run->keys, number), number == n);
        run->drawn = number;
        if (run->drawn >= keys_spent)
            cycle_observe(&run->cycle, run->game, run->drawn, run->cycle_search_frames);
    }
}
