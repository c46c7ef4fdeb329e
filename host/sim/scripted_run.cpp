#include "host/sim/scripted_run.h"

#include "host/sim/beam_raster.h"

void play_raster_frame(std::int64_t number, std::uint8_t key)
{
    if (frame == 0)
        raster_begin_recording();
    beam_budget = frame_budget_t{};
    beam_budget.frame = number;
    play_frame(&snake, key);
}

void run_start(scripted_run_t *run)
{
    run->drawn = 0;
    const std::int64_t search_frames = run->cycle.search_frames;
    run->cycle = run_cycle_t{};
    run->cycle.search_frames = search_frames;
    start_game(&snake, run->setup);
}

void run_to_frame(scripted_run_t *run, std::int64_t n)
{
    const std::int64_t keys_spent = last_key_frame(run->keys);
    while (run->drawn < n) {
        run->drawn = cycle_leap(run->cycle, run->drawn, n);
        const std::int64_t number = run->drawn + 1;
        frame = static_cast<std::int32_t>(n - number); // 0 only in the frame to record
        play_raster_frame(number, key_after(run->keys, number));
        run->drawn = number;
        if (run->drawn >= keys_spent)
            cycle_observe(&run->cycle, run->drawn);
    }
}
