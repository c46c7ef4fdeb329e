#include "host/sim/beam_raster.h"

#include <algorithm>

beam_t beam;
raster_t raster;

namespace {

bool is_wall_state(std::uint8_t state) { return state == PAINT_WALL || state == PAINT_WALL_READ; }

constexpr beam_pass_t pass_of_state(std::uint8_t state)
{
    if (state < SNAKE_RING_SIZE)
        return beam_pass_t::body;
    if (state == PAINT_WALL || state == PAINT_WALL_READ)
        return beam_pass_t::walls;
    if (state == PAINT_FOOD)
        return beam_pass_t::food;
    if (state == PAINT_HEAD)
        return beam_pass_t::head;
    return beam_pass_t::texts;
}

// Every tick is booked to a pass, so the lookup is a table, not a chain of tests.
constexpr std::array<beam_pass_t, 256> PASS_OF_STATE = [] {
    std::array<beam_pass_t, 256> table{};
    for (std::size_t state = 0; state < table.size(); ++state)
        table[state] = pass_of_state(static_cast<std::uint8_t>(state));
    return table;
}();

bool faulted() { return raster.fault.kind != beam_fault_kind_t::none; }

frame_budget_t budget_now() { return {raster.frame, beam.tick, raster.by_pass}; }

void book_tick()
{
    beam.tick = static_cast<std::uint16_t>(beam.tick + 1);
    ++raster.by_pass[static_cast<std::size_t>(current_pass())];
}

// The fault of the tick just booked, its kind given; the frame is heard no more.
void note_fault(beam_fault_kind_t kind)
{
    beam_fault_t &f = raster.fault;
    f.kind = kind;
    f.frame = raster.frame;
    f.tick = beam.tick;
    f.pass = current_pass();
    f.state = raster.game->paint_state;
    f.budget = budget_now();
}

// The tick-limit abort: the offending tick is noted, not drawn. A pixel call
// may send one more tick after it; the fault stays the first one's.
void sexit()
{
    if (!faulted())
        note_fault(beam_fault_kind_t::tick_limit);
}

bool over_limit() { return beam.tick > BEAM_TICK_LIMIT; }

int sign_of_step(std::uint8_t from, std::uint8_t to) { return (from < to) - (to < from); }

void tell_listeners(const beam_tick_t &tick)
{
    for (std::size_t i = 0; i < raster.listener_count; ++i) {
        const beam_listener_t &l = raster.listeners[i];
        if (l.on_tick != nullptr && listener_hears(l, raster.use))
            l.on_tick(l.context, tick);
    }
}

// A lit or dark tick of a heard frame: whether the display joins it to the
// last point, the fault it may be, then what the listeners hear.
[[gnu::noinline]] void hear_tick(bool lit, std::uint8_t x, std::uint8_t y)
{
    if (faulted())
        return; // the frame broke off: no listener hears a tick after it
    const std::uint8_t state = raster.game->paint_state;
    const bool joined = lit && raster.skip == 0 && is_wall_state(state);
    const int sx = joined ? sign_of_step(raster.last_x, x) : 0;
    const int sy = joined ? sign_of_step(raster.last_y, y) : 0;
    if (over_limit()) {
        sexit();
    } else if (sx != 0 && sy != 0) { // walls are only horizontal and vertical
        note_fault(beam_fault_kind_t::slanted_join);
        beam_fault_t &f = raster.fault;
        f.x = x;
        f.y = y;
        f.step_x = static_cast<std::int8_t>(sx);
        f.step_y = static_cast<std::int8_t>(sy);
        f.from_x = raster.last_x;
        f.from_y = raster.last_y;
    }
    const beam_tick_t tick{raster.frame, beam.tick,     current_pass(), state,    lit, x, y,
                           joined,       raster.last_x, raster.last_y,  faulted()};
    tell_listeners(tick);
    if (faulted())
        return;
    if (!lit) {
        raster.skip = 1;
        return;
    }
    raster.last_x = x;
    raster.last_y = y;
    raster.skip = 0;
}

} // namespace

void raster_watch(const snake_t *game) { raster.game = game; }

void raster_begin_frame(std::int64_t number, frame_use_t use)
{
    raster.frame = number;
    raster.use = use;
    raster.by_pass = {};
    raster.fault = beam_fault_t{};
    if (use == frame_use_t::unheard)
        return;
    raster.last_x = 0;
    raster.last_y = 0;
    const beam_frame_t frame{number, use};
    for (std::size_t i = 0; i < raster.listener_count; ++i) {
        const beam_listener_t &l = raster.listeners[i];
        if (l.on_frame_begin != nullptr && listener_hears(l, use))
            l.on_frame_begin(l.context, frame);
    }
}

frame_budget_t raster_end_frame()
{
    const frame_budget_t budget = faulted() ? raster.fault.budget : budget_now();
    if (raster.use == frame_use_t::unheard)
        return budget;
    const beam_frame_end_t end{raster.frame, raster.use, &budget,
                               faulted() ? &raster.fault : nullptr};
    for (std::size_t i = 0; i < raster.listener_count; ++i) {
        const beam_listener_t &l = raster.listeners[i];
        if (l.on_frame_end != nullptr && listener_hears(l, raster.use))
            l.on_frame_end(l.context, end);
    }
    return budget;
}

bool raster_paint_step(snake_t *game)
{
    menuitem_snake.onPixel(game);
    return game->frame_phase != 0 || faulted();
}

bool raster_listen(const beam_listener_t &listener)
{
    if (raster.listener_count == raster.listeners.size())
        return false;
    raster.listeners[raster.listener_count++] = listener;
    return true;
}

void raster_forget(void *context)
{
    const auto begin = raster.listeners.begin();
    const auto end = begin + static_cast<std::ptrdiff_t>(raster.listener_count);
    const auto kept = std::remove_if(
        begin, end, [context](const beam_listener_t &l) { return l.context == context; });
    raster.listener_count = static_cast<std::size_t>(kept - begin);
}

beam_pass_t current_pass()
{
    if (raster.game->frame_phase != 0) // the painter marks the frame finished before its last tick
        return beam_pass_t::end;
    return PASS_OF_STATE[raster.game->paint_state];
}

raster_carry_t raster_carry() { return {raster.skip, beam.tick}; }

void beam_skip()
{
    book_tick();
    if (raster.use != frame_use_t::unheard) {
        hear_tick(false, 0, 0);
        return;
    }
    if (over_limit()) {
        sexit();
        return;
    }
    raster.skip = 1;
}

void beam_xy(std::uint8_t x, std::uint8_t y)
{
    book_tick();
    if (raster.use != frame_use_t::unheard) {
        hear_tick(true, x, y);
        return;
    }
    if (over_limit())
        sexit(); // only heard frames leave a point
}
