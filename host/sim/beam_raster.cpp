#include "host/sim/beam_raster.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

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

void book_tick()
{
    beam.tick = static_cast<std::uint16_t>(beam.tick + 1);
    raster.budget.total = beam.tick;
    ++raster.budget.by_pass[static_cast<std::size_t>(current_pass())];
}

void check_limit()
{
    if (beam.tick > BEAM_TICK_LIMIT)
        sexit();
}

[[noreturn]] void abort_frame(int status)
{
    throw beam_abort_t(status, raster.budget.frame, current_pass(), beam.tick);
}

// Out of line: a frame without listeners pays one test per tick for them.
[[gnu::noinline]] void tell_listeners(bool lit, std::uint8_t x, std::uint8_t y)
{
    const std::uint8_t state = raster.game->paint_state;
    const bool joined = lit && raster.skip == 0 && is_wall_state(state);
    const beam_tick_t tick{
        raster.budget.frame, beam.tick,    current_pass(), state, lit, x, y, joined,
        raster.last_x,       raster.last_y};
    for (std::size_t i = 0; i < raster.listener_count; ++i)
        raster.listeners[i].on_tick(raster.listeners[i].context, tick);
}

int sign_of_step(std::uint8_t from, std::uint8_t to) { return (from < to) - (to < from); }

[[noreturn]] void diagonal_exit(std::uint8_t x, std::uint8_t y, int sx, int sy)
{
    const std::uint8_t state = raster.game->paint_state;
    std::fprintf(stderr, "@%02x: [%d %d] (%d,%d) --> [%d %d]  @%02x\n", state, x, y, sx, sy,
                 raster.last_x, raster.last_y, state);
    abort_frame(EXIT_DIAGONAL_JOIN);
}

// Walls advance several units per tick; fill in the line up to (x, y).
void join_to(std::uint8_t x, std::uint8_t y)
{
    const int sx = sign_of_step(raster.last_x, x);
    const int sy = sign_of_step(raster.last_y, y);
    if (sx != 0 && sy != 0)
        diagonal_exit(x, y, sx, sy); // walls are only horizontal and vertical
    for (;;) {
        raster.last_x = static_cast<std::uint8_t>(raster.last_x + sx);
        raster.last_y = static_cast<std::uint8_t>(raster.last_y + sy);
        if (raster.last_x == x && raster.last_y == y)
            break;
        heller(raster.last_x, raster.last_y, BEAM_WEIGHT_FILLED);
    }
}

// Out of line, so that the ticks of earlier frames stay a few instructions.
[[gnu::noinline]] void record_point(std::uint8_t x, std::uint8_t y)
{
    if (raster.listener_count != 0)
        tell_listeners(true, x, y);
    check_limit();
    if (raster.skip == 0 && is_wall_state(raster.game->paint_state))
        join_to(x, y);
    raster.last_x = x;
    raster.last_y = y;
    heller(x, y, BEAM_WEIGHT_POINT);
    raster.skip = 0;
}

} // namespace

void raster_watch(const snake_t *game) { raster.game = game; }

void raster_begin_frame(std::int64_t number, bool record)
{
    raster.budget = frame_budget_t{};
    raster.budget.frame = number;
    raster.recording = record;
    if (!record)
        return;
    raster.pixel.fill(0.0);
    raster.last_x = 0;
    raster.last_y = 0;
}

void raster_listen(beam_listener_t listener)
{
    if (raster.listener_count == raster.listeners.size())
        throw std::length_error("too many beam listeners");
    raster.listeners[raster.listener_count++] = listener;
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

void heller(std::uint8_t x, std::uint8_t y, double w)
{
    double &p = raster.pixel[screen_index(x, y)];
    p = 1.0 - (1.0 - w) * (1.0 - p);
}

void sexit()
{
    std::fprintf(stderr, "EXIT (tick=%d)  @%02x\n", beam.tick, raster.game->paint_state);
    abort_frame(EXIT_TICK_LIMIT);
}

std::string abort_place(const beam_abort_t &abort)
{
    return "frame " + std::to_string(abort.frame) + ", pass " +
           BEAM_PASS_NAMES[static_cast<std::size_t>(abort.pass)];
}

std::string abort_reason(const beam_abort_t &abort)
{
    if (abort.status == EXIT_DIAGONAL_JOIN)
        return "a wall line that is neither horizontal nor vertical";
    return "more than " + std::to_string(BEAM_TICK_LIMIT) + " beam ticks";
}

raster_carry_t raster_carry() { return {raster.skip, beam.tick}; }

void beam_skip()
{
    book_tick();
    if (raster.recording && raster.listener_count != 0)
        tell_listeners(false, 0, 0);
    check_limit();
    raster.skip = 1;
}

void beam_xy(std::uint8_t x, std::uint8_t y)
{
    book_tick();
    if (!raster.recording) {
        check_limit();
        return; // only recorded frames leave a picture
    }
    record_point(x, y);
}
