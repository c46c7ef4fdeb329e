// Game start, keys and the frame clock, and the callback table that is the
// module's whole face to a host.
#include "parith/parith15.h"
#include "snake/beam_port.h"
#include "snake/snake_private.h"

drawinfo_t drawinfo;

namespace {

constexpr std::uint8_t START_LEVEL = 3;
constexpr std::uint8_t START_XY = 0x80;
constexpr std::uint8_t START_LEN = 20;

std::uint8_t u8(int v) { return static_cast<std::uint8_t>(v); }

} // namespace

void onEnter_snake(snake_t *s)
{
    snake_set_level(s, START_LEVEL);

    s->dir_next = SNAKE_NO_DIR;
    s->grow = 0;
    s->move_due = 1;
    s->text_dirty = 1;
    s->move_wait = 1;
    s->game_over = 0;
    s->score = 0;
    s->food_new = 1;
    s->food_ok = 0;
    s->point[SNAKE_HEAD] = {START_XY, START_XY};
    s->ring_head = 0;
    s->ring_len = 1;
    s->ring[0].len = START_LEN;

    const std::uint8_t r = u8(prandom() & 3);
    s->frame_phase = 1; // the painter takes the previous frame as finished
    s->dir = r;
    s->ring[0].back = r ^ 2;
    s->crashed = 0;

    drawinfo.xy_fn = beam_xy;
    drawinfo.skip_fn = beam_skip;
    drawinfo.reserved = 0;
    drawinfo.prop = 1;
    draw_reset(&drawinfo);
}

void onKey_snake(snake_t *s, std::uint8_t key)
{
    if (s->game_over != 0)
        return;
    std::uint8_t h = s->dir;
    switch (key) {
    case KEY_LEFT: h = 0; break;
    case KEY_RIGHT: h = 2; break;
    case KEY_UP:
    case KEY_UP_ALT: h = 3; break;
    case KEY_DOWN:
    case KEY_DOWN_ALT: h = 1; break;
    case KEY_FASTER: s->params.speed = u8(s->params.speed - 1); break;
    case KEY_SLOWER: s->params.speed = u8(s->params.speed + 1); break;
    default: break;
    }
    h &= 3;
    if (h == s->ring[s->ring_head].back)
        return; // no reversing into the body
    // Any other key queues the current heading, replacing a waiting turn.
    s->dir_next = h;
}

void onTimeChanged_snake(snake_t *s, int /*t*/)
{
    if (s->game_over != 0) {
        if (s->crashed != 0) {
            s->crashed = 0;
            s->over_y = 0;
        }
        s->over_tick = u8(s->over_tick + 1);
        if ((s->over_tick & 1) != 0)
            s->over_y = u8(s->over_y + 1); // the text rises every second frame
    }
    s->move_wait = u8(s->move_wait - 1);
    if (s->move_wait == 0) {
        s->move_due = 1;
        s->move_wait = s->params.speed;
    }
}

const menuitem_t menuitem_snake = {
    onPixel_snake, onTimeChanged_snake, onKey_snake, onEnter_snake, 1,
};
