#include "snake/snake.h"

namespace {

std::uint8_t u8(int v) { return static_cast<std::uint8_t>(v); }

bool on_grid_point(const snake_t *s)
{
    const snake_point_t &head = s->point[SNAKE_HEAD];
    return (head.x & s->grid_mask) == 0 && (head.y & s->grid_mask) == 0;
}

std::uint8_t take_turn(snake_t *s)
{
    if (s->dir_next != SNAKE_NO_DIR && on_grid_point(s)) {
        s->dir = s->dir_next;
        s->dir_next = SNAKE_NO_DIR;
    }
    return s->dir;
}

void step_head(snake_t *s, std::uint8_t d)
{
    snake_point_t &head = s->point[SNAKE_HEAD];
    switch (d) {
    case 0: head.x = u8(head.x - 1); break;
    case 1: head.y = u8(head.y - 1); break;
    case 2: head.x = u8(head.x + 1); break;
    default: head.y = u8(head.y + 1); break;
    }
}

// Also eats a candidate the painter has not accepted yet.
void eat(snake_t *s)
{
    const snake_point_t &head = s->point[SNAKE_HEAD];
    const snake_point_t &food = s->point[SNAKE_FOOD];
    if (head.x != food.x || head.y != food.y)
        return;
    s->text_dirty = 1;
    s->food_new = 1;
    s->food_ok = 0;
    s->grow = s->params.growth;
    s->score = static_cast<std::uint16_t>(s->score + s->params.growth);
}

// A change of heading opens a new run in the entry before the head run.
void extend_head_run(snake_t *s, std::uint8_t d, std::uint8_t &n, std::uint8_t &h)
{
    const std::uint8_t back = d ^ 2;
    if (s->ring[h].back != back) {
        n = u8(n + 1);
        h = (h == 0) ? SNAKE_RING_SIZE - 1 : u8(h - 1);
        s->ring_head = h;
        s->ring[h].len = 0;
        s->ring[h].back = back;
    }
    s->ring[h].len = u8(s->ring[h].len + 1);
}

void shorten_tail(snake_t *s, std::uint8_t &n, std::uint8_t h)
{
    std::uint8_t t = u8(h + n - 1);
    if (t > SNAKE_RING_SIZE - 1)
        t = u8(t - SNAKE_RING_SIZE);
    if (s->ring[t].len == 1)
        n = u8(n - 1); // the entry keeps its values, out of use
    else
        s->ring[t].len = u8(s->ring[t].len - 1);
}

} // namespace

void move_snake(snake_t *s)
{
    std::uint8_t n = s->ring_len;
    std::uint8_t h = s->ring_head;

    if (s->game_over != 0) {
        if (n == 0)
            return;
        shorten_tail(s, n, h); // the head stands; only the tail drains
    } else {
        const std::uint8_t d = take_turn(s);
        step_head(s, d);
        eat(s);
        extend_head_run(s, d, n, h);
        if (n > SNAKE_RING_SIZE) {
            // The new head run took the old tail's entry: that run is gone whole.
            n = SNAKE_RING_SIZE;
        } else if (s->grow > 0) {
            s->grow = u8(s->grow - 1);
        } else {
            shorten_tail(s, n, h);
        }
    }

    if (s->ring_len != n) {
        s->ring_len = n;
        s->text_dirty = 1;
    }
}
