#include "host/sim/frame_loop.h"

#include "snake/beam_port.h"

void start_game(snake_t *s, const game_setup_t &setup)
{
    *s = snake_t{};
    beam.tick = 0; // a non-zero count would make the park call start a frame
    set_seed(setup.seed);
    menuitem_snake.onEnter(s);
    snake_set_level(s, setup.level);
    if (!setup.device_pace) {
        s->params.speed = setup.speed;
        s->params.growth = setup.growth;
    }
    menuitem_snake.onPixel(s); // parks the beam
}

bool paint_step(snake_t *s)
{
    menuitem_snake.onPixel(s);
    return s->frame_phase != 0;
}

void paint_frame(snake_t *s)
{
    while (!paint_step(s)) {
    }
}

void finish_frame(snake_t *s, std::uint8_t key)
{
    if (key != 0)
        menuitem_snake.onKey(s, key);
    menuitem_snake.onTimeChanged(s, 0);
}

void play_frame(snake_t *s, std::uint8_t key)
{
    paint_frame(s);
    finish_frame(s, key);
}
