#include "web/api/seed_api.h"

#include <array>

#include "parith/parith15.h"
#include "snake/beam_port.h"
#include "snake/snake.h"

// The name JS sees; a native build of this file (a test, a tool) exports nothing.
#if defined(__wasm__)
#define WEB_EXPORT(name) __attribute__((export_name(name)))
#else
#define WEB_EXPORT(name)
#endif

beam_t beam;

namespace {

constexpr std::uint8_t WEB_SPEED = 1;
constexpr std::uint8_t WEB_GROWTH = 20;

snake_t game;
bool started = false;
std::array<std::uint8_t, 2 * WEB_POINTS_MAX> points;
int point_count = 0;
int frame_ticks = 0;

} // namespace

void beam_xy(std::uint8_t x, std::uint8_t y)
{
    beam.tick = static_cast<std::uint16_t>(beam.tick + 1);
    ++frame_ticks;
    if (point_count < WEB_POINTS_MAX) {
        points[2 * point_count] = x;
        points[2 * point_count + 1] = y;
        ++point_count;
    }
}

void beam_skip()
{
    beam.tick = static_cast<std::uint16_t>(beam.tick + 1);
    ++frame_ticks;
}

WEB_EXPORT("web_start") int web_start(int level)
{
    if (level < 1 || level > SNAKE_LEVEL_COUNT)
        return -1;
    game = snake_t{};
    beam.tick = 0; // a non-zero count would make the park call start a frame
    set_seed(parith::INITIAL_SEED);
    menuitem_snake.onEnter(&game);
    snake_set_level(&game, static_cast<std::uint8_t>(level));
    game.params.speed = WEB_SPEED;
    game.params.growth = WEB_GROWTH;
    menuitem_snake.onPixel(&game); // parks the beam
    started = true;
    return 0;
}

WEB_EXPORT("web_frame") int web_frame(int key)
{
    if (!started)
        return -1;
    point_count = 0;
    frame_ticks = 0;
    do {
        menuitem_snake.onPixel(&game);
    } while (game.frame_phase == 0);
    if (key != 0)
        menuitem_snake.onKey(&game, static_cast<std::uint8_t>(key));
    menuitem_snake.onTimeChanged(&game, 0);
    return frame_ticks;
}

WEB_EXPORT("web_points") const std::uint8_t *web_points() { return points.data(); }

WEB_EXPORT("web_point_count") int web_point_count() { return point_count; }
