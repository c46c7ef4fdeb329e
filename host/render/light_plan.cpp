#include "host/render/light_plan.h"

#include <algorithm>
#include <optional>

#include "host/sim/scripted_run.h"

namespace {

std::int64_t frames_in(std::int64_t from, std::int64_t to)
{
    return to >= from ? to - from + 1 : 0;
}

// Frames the route plays for their light.
std::int64_t route_frames(const light_plan_t &plan, const light_route_t &route)
{
    return frames_in(route.play_from, route.play_to) + (route.learn ? plan.period : 0) +
           frames_in(route.then_from, route.then_to);
}

// The history: the frames before m that the light still shows.
light_route_t played_route(const light_plan_t &plan, const light_state_t &state, std::int64_t m)
{
    light_route_t route;
    route.play_from = std::max(state.heard + 1, m - plan.history + 1);
    route.play_to = m;
    return route;
}

// With the period learned: a leap to m if m is as far into its period as the
// prefix, else to the period's start before m and the frames from there.
std::optional<light_route_t> route_over_learned(const light_plan_t &plan,
                                                const light_state_t &state, std::int64_t m)
{
    const std::int64_t periods = (m - state.base) / plan.period;
    const std::int64_t into = (m - state.base) % plan.period;
    light_route_t route;
    route.periods = periods;
    route.leap_prefix = into == state.prefix;
    if (!route.leap_prefix) {
        route.then_from = state.base + periods * plan.period + 1;
        route.then_to = m;
    }
    // The run cannot go back to a frame before the one it has drawn.
    if (periods < 1 || (!route.leap_prefix && route.then_from <= state.heard))
        return std::nullopt;
    return route;
}

// The period learned after a base in the cycle, its prefix as far as m is
// into its period: the frames up to the base (their history), one period,
// and a leap.
std::optional<light_route_t> route_learning(const light_plan_t &plan, const light_state_t &state,
                                            std::int64_t m)
{
    const std::int64_t base = std::max(plan.since + 1, state.heard);
    if (m - base < plan.period) // the period would pass m
        return std::nullopt;
    light_route_t route;
    route.play_from = std::max(state.heard + 1, base - plan.history + 1);
    route.play_to = base;
    route.learn = true;
    route.prefix = (m - base) % plan.period;
    route.periods = (m - base) / plan.period;
    route.leap_prefix = true;
    return route;
}

} // namespace

light_plan_t plan_light(std::int64_t history, const game_setup_t &setup, const key_script_t &keys,
                        std::int64_t last)
{
    light_plan_t plan;
    plan.history = history;
    if (history == 0)
        return plan;
    scripted_run_t ahead;
    ahead.setup = setup;
    ahead.keys = keys;
    // Brent's search sees a period by about twice the frames it takes the
    // game to come into it and go round once; a frame earlier than that
    // gains little from it.
    const run_cycle_t cycle = find_run_cycle(&ahead, 2 * last);
    plan.period = cycle.period;
    plan.since = cycle.since;
    // Learning a period costs the period and the frames up to it, at least
    // those after the last key: only a longer history is worth the cycle's
    // earliest frame.
    const std::int64_t before = std::min(history, last_key_frame(keys) + 1);
    if (plan.period != 0 && history > plan.period + before)
        plan.since = earliest_cycle_since(&ahead, cycle);
    return plan;
}

light_route_t light_route(const light_plan_t &plan, const light_state_t &state, std::int64_t m)
{
    const light_route_t played = played_route(plan, state, m);
    if (plan.period == 0 || plan.history == 0)
        return played;
    const std::optional<light_route_t> leap =
        state.base != 0 ? route_over_learned(plan, state, m) : route_learning(plan, state, m);
    return leap && route_frames(plan, *leap) < route_frames(plan, played) ? *leap : played;
}

light_state_t light_state_after(const light_state_t &state, const light_route_t &route,
                                std::int64_t m)
{
    light_state_t after = state;
    after.heard = m;
    if (route.learn) {
        after.base = route.play_to;
        after.prefix = route.prefix;
    }
    return after;
}
