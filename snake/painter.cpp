// The pixel callback: paints one frame as a long run of calls, one beam
// operation each as a rule, keeping its place in the painter fields of the
// record. The frame-start call carries the once-per-frame game work.
#include <cstdio>
#include <cstring>

#include "parith/parith15.h"
#include "snake/beam_port.h"
#include "snake/snake_private.h"

char snake_text[SNAKE_TEXT_ITEMS][SNAKE_TEXT_SIZE];
std::uint8_t SREG;

namespace {

struct text_init_t {
    std::uint8_t x;
    std::uint8_t y;
    std::uint8_t size;
};

// clang-format off
constexpr text_init_t snake_text_init[SNAKE_TEXT_ITEMS] = {
    { 100, 220, 1 }, // score and level, two lines
    { 100,  25, 1 }, // the snake picture
    {  70, 255, 3 }, // "Game over!"; drawn at over_y instead
};

struct mark_offset_t {
    std::int8_t a; // along x for heading 3 (up)
    std::int8_t b; // along y for heading 3
};

// Points around a mark's centre for heading 3; index 7 is behind the head,
// 8 the centre. The head mark uses 6 down to 0, the food mark 8 down to 0.
constexpr mark_offset_t snake_head_dxy[9] = {
    { -1, -1 }, { -1,  0 }, { -1, +1 }, {  0, +1 }, { +1, +1 },
    { +1,  0 }, { +1, -1 }, {  0, -1 }, {  0,  0 },
};
// clang-format on

constexpr std::uint8_t FOOD_MARK_POINTS = 9;
constexpr std::uint8_t HEAD_MARK_POINTS = 7;
constexpr std::uint8_t WALL_STEP = 4;
constexpr std::uint8_t PARK_XY = 255;
constexpr std::uint8_t FOOD_ORIGIN = 64;

std::uint8_t u8(int v) { return static_cast<std::uint8_t>(v); }

bool is_body_run(std::uint8_t state) { return static_cast<std::int8_t>(state) >= 0; }

void step(std::uint8_t heading, std::uint8_t dist, std::uint8_t &x, std::uint8_t &y)
{
    switch (heading & 3) {
    case 0: x = u8(x - dist); break;
    case 1: y = u8(y - dist); break;
    case 2: x = u8(x + dist); break;
    default: y = u8(y + dist); break;
    }
}

void reset_beam_tick()
{
    const std::uint8_t saved = SREG;
    beam.tick = 0;
    SREG = saved;
}

void rebuild_texts(snake_t *s)
{
    std::snprintf(snake_text[0], SNAKE_TEXT_SIZE, "Score: %u\nLevel: %u",
                  static_cast<unsigned>(s->score), static_cast<unsigned>(s->level));
    std::strcpy(snake_text[SNAKE_TEXT_OVER], "Game over!");
}

// Accept the last candidate if the frame just painted passed it, else draw a new one.
void place_food(snake_t *s)
{
    if (s->food_ok != 0) {
        s->food_new = 0;
        return;
    }
    const std::uint8_t m = u8(~s->grid_mask) & 0x7F;
    snake_point_t &food = s->point[SNAKE_FOOD];
    food.x = u8((prandom() & 0xFF & m) + FOOD_ORIGIN);
    food.y = u8((prandom() & 0xFF & m) + FOOD_ORIGIN);
}

void start_frame(snake_t *s)
{
    reset_beam_tick();
    s->frame_phase = 0;
    s->paint_left = 0;
    s->paint_state = PAINT_TEXT_NEXT;
    s->text_idx = 0;
    s->n_texts = u8(s->game_over + 2);
    if (s->move_due != 0) {
        s->move_due = 0;
        move_snake(s);
    }
    if (s->text_dirty != 0) {
        s->text_dirty = 0;
        rebuild_texts(s);
    }
    if (s->food_new != 0)
        place_food(s);
}

// The snake picture: "$", one "~" per body run in use, "'".
void build_snake_picture(const snake_t *s)
{
    char *t = snake_text[1];
    std::size_t n = 0;
    t[n++] = '$';
    for (std::uint8_t i = 0; i < s->ring_len; ++i)
        t[n++] = '~';
    t[n++] = '\'';
    t[n] = '\0';
}

void text_setup(snake_t *s)
{
    const std::uint8_t i = s->text_idx;
    s->paint_state = PAINT_TEXT;
    drawinfo.x0 = snake_text_init[i].x;
    drawinfo.y0 = (i == SNAKE_TEXT_OVER) ? s->over_y : snake_text_init[i].y;
    drawinfo.size = snake_text_init[i].size;
    drawinfo.text = reinterpret_cast<const std::uint8_t *>(snake_text[i]);
    if (i == 1)
        build_snake_picture(s);
}

void text_step(snake_t *s)
{
    const int r = draw_letters(&drawinfo);
    s->paint_left = (r == 0) ? 1 : 0;
    if (r != 0) {
        s->text_idx = u8(s->text_idx + 1);
        s->paint_state = (s->text_idx < s->n_texts) ? PAINT_TEXT_NEXT : PAINT_TEXTS_DONE;
    }
}

void wall_step(snake_t *s, std::uint8_t left, std::uint8_t x, std::uint8_t y)
{
    s->paint_left = u8(left - WALL_STEP);
    step(s->paint_dir, WALL_STEP, x, y);
    s->paint_x = x;
    s->paint_y = y;
    s->paint_state = PAINT_WALL;
    beam_xy(x, y);
}

void mark_point(snake_t *s, std::uint8_t left, std::uint8_t x, std::uint8_t y)
{
    const std::uint8_t i = u8(left - 1);
    s->paint_left = i;
    const std::int8_t a = snake_head_dxy[i].a;
    const std::int8_t b = snake_head_dxy[i].b;
    std::int8_t ox;
    std::int8_t oy;
    switch (s->paint_dir & 3) { // turn the heading-3 offsets to the mark's heading
    case 0:
        ox = static_cast<std::int8_t>(-b);
        oy = static_cast<std::int8_t>(-a);
        break;
    case 1:
        ox = static_cast<std::int8_t>(-a);
        oy = static_cast<std::int8_t>(-b);
        break;
    case 2:
        ox = b;
        oy = a;
        break;
    default:
        ox = a;
        oy = b;
        break;
    }
    beam_xy(u8(x + ox), u8(y + oy));
}

void body_step(snake_t *s, std::uint8_t left, std::uint8_t x, std::uint8_t y)
{
    s->paint_left = u8(left - 1);
    step(s->paint_dir, 1, x, y);
    s->paint_x = x;
    s->paint_y = y;
    const snake_point_t &food = s->point[SNAKE_FOOD];
    if (s->food_new != 0 && s->food_ok != 0 && s->params.food_on_body == 0 && x == food.x &&
        y == food.y)
        s->food_ok = 0;
    const snake_point_t &head = s->point[SNAKE_HEAD];
    if (s->game_over == 0 && x == head.x && y == head.y) {
        s->crashed = 1;
        s->game_over = 1;
    }
    beam_xy(x, y);
}

void continue_stroke(snake_t *s, std::uint8_t left, std::uint8_t x, std::uint8_t y)
{
    const std::uint8_t state = s->paint_state;
    if (is_body_run(state))
        body_step(s, left, x, y);
    else if (state == PAINT_TEXT)
        text_step(s);
    else if (state == PAINT_FOOD || state == PAINT_HEAD)
        mark_point(s, left, x, y);
    else
        wall_step(s, left, x, y);
}

void enter_body_run(snake_t *s, std::uint8_t k, std::uint8_t x, std::uint8_t y)
{
    s->paint_state = k;
    std::uint8_t r = u8(s->ring_head + k);
    if (r > SNAKE_RING_SIZE - 1)
        r = u8(r - SNAKE_RING_SIZE);
    s->paint_dir = s->ring[r].back;
    body_step(s, s->ring[r].len, x, y);
}

// Moves on to the next pass; passes not shown are stepped over in this call.
void advance(snake_t *s, std::uint8_t x, std::uint8_t y)
{
    for (;;) {
        const std::uint8_t state = u8(s->paint_state + 1);
        if (state == s->ring_len) { // frame end; paint_state keeps the last pass
            s->frame_phase = 1;
            beam_skip();
            return;
        }
        if (state == PAINT_FOOD || state == PAINT_HEAD) {
            const snake_point_t &centre = s->point[state == PAINT_FOOD ? SNAKE_FOOD : SNAKE_HEAD];
            s->paint_x = centre.x;
            s->paint_y = centre.y;
        }
        if (is_body_run(state)) {
            enter_body_run(s, state, x, y);
            return;
        }
        switch (state) {
        case PAINT_TEXT:
            text_setup(s);
            beam_skip();
            return;
        case PAINT_TEXTS_DONE:
            s->paint_state = PAINT_TEXT;
            text_step(s);
            return;
        case PAINT_WALL:
            s->paint_state = PAINT_WALL;
            s->food_cross = 0;
            s->wall_ptr = WALL.data();
            read_wall_seg(s); // the outline opens with a move-to: dark anyway
            beam_skip();
            return;
        case PAINT_WALL_READ:
            s->paint_state = PAINT_WALL_READ;
            if (read_wall_seg(s) != 0)
                beam_skip();
            else
                wall_step(s, s->paint_left, s->paint_x, s->paint_y);
            return;
        case PAINT_FOOD:
            s->paint_state = PAINT_FOOD;
            if (s->food_new != 0 || s->game_over != 0)
                continue;
            s->paint_left = FOOD_MARK_POINTS;
            beam_skip();
            return;
        default: // PAINT_HEAD
            s->paint_state = PAINT_HEAD;
            if (s->ring_len == 0)
                continue; // the next state, 0, equals ring_len and ends the frame
            s->paint_dir = s->dir;
            s->paint_left = HEAD_MARK_POINTS;
            beam_skip();
            return;
        }
    }
}

void paint_step(snake_t *s)
{
    const std::uint8_t left = s->paint_left;
    const std::uint8_t x = s->paint_x;
    const std::uint8_t y = s->paint_y;
    if (left != 0)
        continue_stroke(s, left, x, y);
    else
        advance(s, x, y);
}

} // namespace

void onPixel_snake(snake_t *s)
{
    if (s->frame_phase != 0) {
        if (beam.tick != 0) {
            start_frame(s);
        } else if (s->frame_phase == 1) {
            beam_skip(); // park: only before the very first frame
            beam_xy(PARK_XY, PARK_XY);
            s->frame_phase = 2;
        }
        return;
    }
    paint_step(s);
}
