// Keys that steer and pace the snake, and the frame clock that paces the steps
// and lifts the game-over text.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "snake/beam_port.h"
#include "snake/snake_private.h"
#include "tests/snake/recording_host.h"

namespace {

using std::make_tuple;

snake_t heading(std::uint8_t dir, std::uint8_t speed)
{
    snake_t s{};
    onEnter_snake(&s);
    s.dir = dir, s.ring[0].back = dir ^ 2, s.params.speed = speed;
    return s;
}

TEST(FrameClock, StepsFollowSpeed)
{
    snake_t s{};
    onEnter_snake(&s);
    snake_set_level(&s, 1); // speed 3
    beam = {};
    watch_record(&s);
    onPixel_snake(&s); // the park
    std::vector<int> stepped;
    for (int frame = 1; frame <= 12; ++frame) {
        const snake_point_t head = s.point[SNAKE_HEAD];
        paint_recorded(&s);
        if (head.x != s.point[SNAKE_HEAD].x || head.y != s.point[SNAKE_HEAD].y)
            stepped.push_back(frame);
        onTimeChanged_snake(&s, 0);
    }
    // One step from move_due, one from move_wait 1, then one every third time call.
    EXPECT_EQ(stepped, (std::vector<int>{1, 2, 5, 8, 11}));
}

TEST(FrameClock, GameOverTextRisesEverySecondCall)
{
    // over_tick is never reset: from 0 the new counts 1, 2, 3 ... rise on 1, 3, 5;
    // from 5 they are 6, 7, 8 ... and rise on 7, 9.
    const std::pair<int, std::vector<int>> cases[] = {{0, {1, 1, 2, 2, 3, 3}},
                                                      {5, {0, 1, 1, 2, 2, 3}}};
    for (const auto &[tick, want] : cases) {
        snake_t s = heading(1, 1);
        s.game_over = s.crashed = 1, s.over_y = 77, s.over_tick = std::uint8_t(tick);
        std::vector<int> heights;
        for (int i = 0; i < 6; ++i) {
            onTimeChanged_snake(&s, 0);
            heights.push_back(s.over_y);
            EXPECT_EQ(make_tuple(s.crashed, s.move_due), make_tuple(0, 1));
        }
        EXPECT_EQ(heights, want) << tick;
    }
}

TEST(Keys, QueueTurnsChangeSpeedAndRefuseTheReverse)
{
    snake_t s = heading(2, 5);
    // key, then dir_next and speed
    const int script[][3] = {{0x11, SNAKE_NO_DIR, 5}, {0x20, 3, 5}, {0x21, 1, 5}, {0x0A, 2, 4}};
    for (const auto &k : script) {
        onKey_snake(&s, std::uint8_t(k[0]));
        EXPECT_EQ(make_tuple(s.dir_next, s.params.speed), make_tuple(k[1], k[2])) << k[0];
    }
    // speed before, key; then dir_next and speed. An unknown key queues the
    // current heading; speed wraps as a byte.
    const int single[][4] = {{5, 0x55, 2, 5}, {1, 0x0A, 2, 0}, {255, 0x28, 2, 0}};
    for (const auto &k : single) {
        s = heading(2, std::uint8_t(k[0]));
        onKey_snake(&s, std::uint8_t(k[1]));
        EXPECT_EQ(make_tuple(s.dir_next, s.params.speed), make_tuple(k[2], k[3])) << k[1];
    }

    s = heading(2, 5);
    s.game_over = 1;
    for (std::uint8_t key : {0x11, 0x20, 0x21, 0x10, 0x0A, 0x28, 0x55})
        onKey_snake(&s, key);
    EXPECT_EQ(make_tuple(s.dir_next, s.params.speed), make_tuple(SNAKE_NO_DIR, 5));
}

TEST(Keys, EveryCodeOfTheKeyTable)
{
    // Heading before (speed 5), key; then dir_next and speed. A direction key
    // is tried from a heading that differs from the one it asks for, since an
    // unknown key queues the current heading; the pace keys queue it too.
    const int cases[][4] = {
        // clang-format off
        {1, 0x11, 0, 5}, {1, 0x10, 2, 5},                             // left, right
        {0, 0x39, 3, 5}, {2, 0x20, 3, 5}, {1, 0x39, SNAKE_NO_DIR, 5}, // up; refused heading down
        {0, 0x38, 1, 5}, {2, 0x21, 1, 5}, {3, 0x38, SNAKE_NO_DIR, 5}, // down; refused heading up
        {1, 0x0A, 1, 4}, {1, 0x28, 1, 6},                             // faster, slower
        // clang-format on
    };
    for (const auto &c : cases) {
        snake_t s = heading(std::uint8_t(c[0]), 5);
        onKey_snake(&s, std::uint8_t(c[1]));
        EXPECT_EQ(make_tuple(s.dir_next, s.params.speed), make_tuple(c[2], c[3]))
            << "key " << c[1] << " heading " << c[0];
    }
}

} // namespace
