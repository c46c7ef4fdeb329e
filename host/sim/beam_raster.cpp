#include "host/sim/beam_raster.h"

#include <array>
#include <cstdio>
#include <cstring>

beam_t beam;
double pixel[SCREEN_SIZE * SCREEN_SIZE];
frame_budget_t beam_budget;

namespace {

std::int32_t skip;   // the next lit point is not joined to the last
std::uint8_t beam_x; // last recorded lit point
std::uint8_t beam_y;

bool drawing_walls()
{
    return snake.paint_state == PAINT_WALL || snake.paint_state == PAINT_WALL_READ;
}

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

void count_tick()
{
    beam.tick = static_cast<std::uint16_t>(beam.tick + 1);
    beam_budget.total = beam.tick;
    ++beam_budget.by_pass[static_cast<std::size_t>(current_pass())];
    if (beam.tick > BEAM_TICK_LIMIT)
        sexit();
}

int sign_of_step(std::uint8_t from, std::uint8_t to) { return (from < to) - (to < from); }

[[noreturn]] void diagonal_exit(std::uint8_t x, std::uint8_t y, int sx, int sy)
{
    std::fprintf(stderr, "@%02x: [%d %d] (%d,%d) --> [%d %d]  @%02x\n", snake.paint_state, x, y, sx,
                 sy, beam_x, beam_y, snake.paint_state);
    throw beam_abort_t(EXIT_DIAGONAL_JOIN, current_pass());
}

// Walls advance several units per tick; fill in the line up to (x, y).
void join_to(std::uint8_t x, std::uint8_t y)
{
    const int sx = sign_of_step(beam_x, x);
    const int sy = sign_of_step(beam_y, y);
    if (sx != 0 && sy != 0)
        diagonal_exit(x, y, sx, sy); // walls are only horizontal and vertical
    for (;;) {
        beam_x = static_cast<std::uint8_t>(beam_x + sx);
        beam_y = static_cast<std::uint8_t>(beam_y + sy);
        if (beam_x == x && beam_y == y)
            break;
        heller(beam_x, beam_y, BEAM_WEIGHT_FILLED);
    }
}

// Out of line, so that the ticks of earlier frames stay a few instructions.
[[gnu::noinline]] void record_point(std::uint8_t x, std::uint8_t y)
{
    if (skip == 0 && drawing_walls())
        join_to(x, y);
    beam_x = x;
    beam_y = y;
    heller(x, y, BEAM_WEIGHT_POINT);
    skip = 0;
}

} // namespace

beam_pass_t current_pass()
{
    if (snake.frame_phase != 0) // the painter marks the frame finished before its last tick
        return beam_pass_t::end;
    return PASS_OF_STATE[snake.paint_state];
}

void heller(std::uint8_t x, std::uint8_t y, double w)
{
    double &p = pixel[x * SCREEN_SIZE + y];
    p = 1.0 - (1.0 - w) * (1.0 - p);
}

void sexit()
{
    std::fprintf(stderr, "EXIT (tick=%d)  @%02x\n", beam.tick, snake.paint_state);
    throw beam_abort_t(EXIT_TICK_LIMIT, current_pass());
}

raster_state_t raster_state() { return {skip, beam.tick}; }

void raster_begin_recording()
{
    std::memset(pixel, 0, sizeof pixel);
    beam_x = 0;
    beam_y = 0;
}

void beam_skip()
{
    count_tick();
    skip = 1;
}

void beam_xy(std::uint8_t x, std::uint8_t y)
{
    count_tick();
    if (frame != 0)
        return; // only the last frame leaves a picture
    record_point(x, y);
}
