#include "host/sim/run_cycle.h"

run_state_t current_run_state(const snake_t &game)
{
    return {game, snake_statics(), raster_carry()};
}

void cycle_observe(run_cycle_t *c, const snake_t &game, std::int64_t drawn,
                   std::int64_t search_frames)
{
    if (c->period != 0 || search_frames == 0)
        return;
    if (c->first == 0) {
        c->first = drawn;
        c->tortoise = current_run_state(game);
        c->tortoise_frame = drawn;
        return;
    }
    if (drawn - c->first > search_frames)
        return; // given up
    const run_state_t now = current_run_state(game);
    if (now == c->tortoise) {
        c->period = drawn - c->tortoise_frame;
        c->since = c->tortoise_frame;
    } else if (drawn - c->tortoise_frame == c->power) {
        c->tortoise = now;
        c->tortoise_frame = drawn;
        c->power *= 2;
    }
}

std::int64_t cycle_leap(const run_cycle_t &c, std::int64_t drawn, std::int64_t n)
{
    if (c.period == 0 || drawn < c.since || n - drawn <= c.period)
        return drawn;
    return drawn + (n - 1 - drawn) / c.period * c.period;
}
