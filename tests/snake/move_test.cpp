// One step of the snake: turns on grid points, eating and growth, the ring of
// runs at its limit, and the tail draining after a crash; and the level load.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "snake/snake_private.h"
#include "tests/snake/recording_host.h"

namespace {

using std::make_tuple;

// A fresh game heading down: head (128, 128), body {3, 20} up to (128, 148).
snake_t heading_down()
{
    snake_t s{};
    onEnter_snake(&s);
    s.dir = 1, s.ring[0].back = 3, s.text_dirty = 0;
    return s;
}

void steps(snake_t &s, int n)
{
    while (n-- > 0)
        move_snake(&s);
}

TEST(SetLevel, LoadsOnlyTheLevelParameters)
{
    snake_t s{};
    onEnter_snake(&s);
    snake_t before{}; // zero padding on both sides for the byte compare
    before = s;
    snake_set_level(&s, 1);
    EXPECT_EQ(make_tuple(s.level, s.params.speed, s.params.growth, s.params.grid, s.grid_mask,
                         s.params.food_on_body, s.move_wait),
              make_tuple(1, 3, 200, 8, 7, 0, 1));
    s.level = 3, s.params = {1, 200, 8, 0}; // back to what onEnter loaded
    EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);
}

TEST(MoveSnake, TurnWaitsForTheNextGridPoint)
{
    snake_t s = heading_down();
    const snake_point_t &head = s.point[SNAKE_HEAD];
    s.dir_next = 1; // the current heading, on a grid point: taken without a new run
    steps(s, 3);
    EXPECT_EQ(make_tuple(head.x, head.y, s.dir_next, s.ring_len, s.ring[0].back, s.ring[0].len),
              make_tuple(128, 125, SNAKE_NO_DIR, 1, 3, 20));
    s.dir_next = 0;
    steps(s, 5); // 125 down to 120: off the grid of 8, the turn waits
    EXPECT_EQ(make_tuple(head.y, s.dir, s.dir_next, s.text_dirty), make_tuple(120, 1, 0, 0));
    steps(s, 1);
    EXPECT_EQ(make_tuple(head.x, head.y, s.dir, s.dir_next, s.ring_head, s.ring_len, s.text_dirty),
              make_tuple(127, 120, 0, SNAKE_NO_DIR, 24, 2, 1));
    EXPECT_EQ(make_tuple(s.ring[24].back, s.ring[24].len, s.ring[0].len), make_tuple(2, 1, 19));
}

TEST(MoveSnake, EatingHoldsTheTailForGrowthSteps)
{
    snake_t s = heading_down();
    s.params.growth = 20, s.food_new = 0, s.food_ok = 1;
    auto eat_next_step = [&s] {
        s.point[SNAKE_FOOD] = {128, static_cast<std::uint8_t>(s.point[SNAKE_HEAD].y - 1)};
        move_snake(&s);
    };
    eat_next_step();
    EXPECT_EQ(make_tuple(s.grow, body_length(s), s.score, s.food_new, s.food_ok, s.text_dirty),
              make_tuple(19, 21, 20, 1, 0, 1));
    steps(s, 19);
    EXPECT_EQ(make_tuple(s.grow, body_length(s)), make_tuple(0, 40));

    eat_next_step();
    steps(s, 5);
    EXPECT_EQ(s.grow, 14);
    eat_next_step(); // set anew: 20 less this step, not 14 + 20 - 1
    EXPECT_EQ(make_tuple(s.grow, s.score), make_tuple(19, 60));
}

TEST(MoveSnake, TurnWithAFullRingDropsTheWholeTailRun)
{
    snake_t s = heading_down();
    for (int i = 1; i < 25; ++i)
        s.ring[i] = {static_cast<std::uint8_t>(i % 2 ? 0 : 3), 2};
    s.ring_len = 25, s.ring[24].len = 7, s.grow = 5, s.dir_next = 0;
    const int before = body_length(s);
    steps(s, 1);
    EXPECT_EQ(make_tuple(s.ring_head, s.ring_len, s.ring[24].back, s.ring[24].len, s.grow,
                         s.text_dirty, body_length(s)),
              make_tuple(24, 25, 2, 1, 5, 0, before - 7 + 1));
}

TEST(MoveSnake, TurnThatFillsTheRingKeepsTheTailRun)
{
    // 24 runs in use (entries 0 to 23); the turn's new run takes entry 24, the
    // 25th and last free one, so the tail run 23 only shortens, or waits while
    // growing.
    const int cases[][4] = {{0, 0, 6, 0}, {5, 4, 7, 1}}; // grow; then grow, tail len, body change
    for (const auto &c : cases) {
        snake_t s = heading_down();
        for (int i = 1; i < 24; ++i)
            s.ring[i] = {static_cast<std::uint8_t>(i % 2 ? 0 : 3), 2};
        s.ring_len = 24, s.ring[23].len = 7, s.grow = std::uint8_t(c[0]), s.dir_next = 0;
        const int before = body_length(s);
        steps(s, 1);
        EXPECT_EQ(make_tuple(s.ring_head, s.ring_len, s.ring[24].back, s.ring[24].len, s.grow,
                             s.ring[23].len, s.text_dirty, body_length(s) - before),
                  make_tuple(24, 25, 2, 1, c[1], c[2], 1, c[3]))
            << "grow " << c[0];
    }
}

TEST(MoveSnake, AfterACrashOnlyTheTailDrains)
{
    snake_t s = heading_down();
    s.game_over = 1, s.grow = 5, s.dir_next = 0;
    for (int i = 1; i <= 20; ++i) {
        s.text_dirty = 0;
        steps(s, 1);
        EXPECT_EQ(make_tuple(body_length(s), s.text_dirty), make_tuple(20 - i, i == 20 ? 1 : 0));
    }
    EXPECT_EQ(make_tuple(s.ring_len, s.point[SNAKE_HEAD].y, s.grow, s.dir_next),
              make_tuple(0, 128, 5, 0));
    s.text_dirty = 0;
    snake_t before{};
    before = s;
    steps(s, 1);
    EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);
}

} // namespace
