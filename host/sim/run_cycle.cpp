#include "host/sim/run_cycle.h"

#include "parith/parith15.h"

run_state_t current_run_state() { return {snake, snake_statics(), seed, raster_state()}; }

void cycle_observe(run_cycle_t *c, std::int64_t drawn)
{
    if (c->period != 0 || c->search_frames == 0)
        return;
    if (c->first == 0) {
        c->first = drawn;
        c->tortoise = current_run_state();
        c->tortoise_frame = drawn;
        return;
    }
    if (drawn - c->first > c->search_frames)
        return; // given up
    const run_state_t now = current_run_state();
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
