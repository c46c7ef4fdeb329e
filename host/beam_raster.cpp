#include "beam_raster.h"

#include <cstdio>
#include <cstdlib>

beam_t beam;
double pixel[SCREEN_SIZE * SCREEN_SIZE];

namespace {

std::int32_t skip;   // the next lit point is not joined to the last
std::uint8_t beam_x; // last recorded lit point
std::uint8_t beam_y;

bool drawing_walls()
{
    return snake.paint_state == PAINT_WALL || snake.paint_state == PAINT_WALL_READ;
}

void count_tick()
{
    beam.tick = static_cast<std::uint16_t>(beam.tick + 1);
    if (beam.tick > BEAM_TICK_LIMIT)
        sexit();
}

int sign_of_step(std::uint8_t from, std::uint8_t to) { return (from < to) - (to < from); }

[[noreturn]] void diagonal_exit(std::uint8_t x, std::uint8_t y, int sx, int sy)
{
    std::fprintf(stderr, "@%02x: [%d %d] (%d,%d) --> [%d %d]  @%02x\n", snake.paint_state, x, y, sx,
                 sy, beam_x, beam_y, snake.paint_state);
    std::exit(EXIT_DIAGONAL_JOIN);
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

} // namespace

void heller(std::uint8_t x, std::uint8_t y, double w)
{
    double &p = pixel[x * SCREEN_SIZE + y];
    p = 1.0 - (1.0 - w) * (1.0 - p);
}

void sexit()
{
    std::fprintf(stderr, "EXIT (tick=%d)  @%02x\n", beam.tick, snake.paint_state);
    std::exit(EXIT_TICK_LIMIT);
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
    if (skip == 0 && drawing_walls())
        join_to(x, y);
    beam_x = x;
    beam_y = y;
    heller(x, y, BEAM_WEIGHT_POINT);
    skip = 0;
}
