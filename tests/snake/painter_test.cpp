// The frame painter call by call: park, frame start, marks, body with its
// collision and food tests, wall strokes and the snake picture text.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "snake/beam_port.h"
#include "snake/snake_private.h"
#include "tests/snake/recording_host.h"

namespace {

using std::make_tuple;
using ops_t = std::vector<beam_op_t>;
const beam_op_t dark{false, 0, 0, 0, 0};
const auto lit = [](int x, int y) {
    return beam_op_t{true, std::uint8_t(x), std::uint8_t(y), 0, 0};
};

// In mid-frame, about to leave pass `state`; the cursor on the head, food pending.
snake_t painting(std::uint8_t state, std::uint8_t hx, std::uint8_t hy, std::uint8_t dir)
{
    snake_t s{};
    s.paint_state = state, s.dir = dir, s.food_new = 1;
    s.point[SNAKE_HEAD] = {hx, hy}, s.paint_x = hx, s.paint_y = hy;
    return s;
}

// The beam operations of n calls, or with n = 0 of the calls up to the frame end.
ops_t calls(snake_t &s, int n = 1)
{
    watch_record(&s);
    if (n == 0)
        return paint_recorded(&s);
    clear_ops();
    while (n-- > 0)
        onPixel_snake(&s);
    return recorded_ops();
}

TEST(Painter, ParksOnceThenStartsFramesSilently)
{
    snake_t s{};
    onEnter_snake(&s);
    beam = {};
    EXPECT_EQ(calls(s), (ops_t{dark, lit(255, 255)}));
    EXPECT_EQ(make_tuple(s.frame_phase, beam.tick), make_tuple(2, 2));

    beam.tick = 0;    // parked, no tick since: nothing at all
    snake_t before{}; // zero padding on both sides for the byte compare
    before = s;
    EXPECT_TRUE(calls(s).empty());
    EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);

    beam.tick = 2;
    EXPECT_TRUE(calls(s).empty());
    EXPECT_EQ(make_tuple(beam.tick, s.frame_phase, s.paint_state), make_tuple(0, 0, 0xF9));
    EXPECT_EQ(calls(s), ops_t{dark}); // tick 1 sets up text item 0
}

TEST(Painter, BodyPointsTestTheHeadAndTheCandidate)
{
    const auto coiled = [] {
        snake_t s = painting(PAINT_HEAD, 100, 100, 2);
        s.ring_len = 4, s.ring[0] = {0, 2}, s.ring[1] = {1, 2}, s.ring[2] = {2, 2};
        s.ring[3] = {3, 4}, s.point[SNAKE_FOOD] = {98, 99}, s.food_ok = 1;
        return s;
    };
    snake_t s = coiled();
    const int body[][2] = {{99, 100}, {98, 100}, {98, 99},   {98, 98},   {99, 98},
                           {100, 98}, {100, 99}, {100, 100}, {100, 101}, {100, 102}};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(calls(s), ops_t{lit(body[i][0], body[i][1])}) << i;
        EXPECT_EQ(make_tuple(s.crashed, s.game_over, s.food_ok), make_tuple(i >= 7, i >= 7, i < 2))
            << i;
    }
    EXPECT_EQ(calls(s), ops_t{dark});
    EXPECT_EQ(make_tuple(s.frame_phase, s.paint_state), make_tuple(1, 3));

    s = coiled(); // once the game is over the head is not looked for
    s.game_over = 1;
    calls(s, 0);
    EXPECT_EQ(s.crashed, 0);
}

TEST(Painter, HeadMarkOpensTowardTheBody)
{
    const int mark[4][7][2] = {
        {{129, 127}, {128, 127}, {127, 127}, {127, 128}, {127, 129}, {128, 129}, {129, 129}},
        {{127, 129}, {127, 128}, {127, 127}, {128, 127}, {129, 127}, {129, 128}, {129, 129}},
        {{127, 129}, {128, 129}, {129, 129}, {129, 128}, {129, 127}, {128, 127}, {127, 127}},
        {{129, 127}, {129, 128}, {129, 129}, {128, 129}, {127, 129}, {127, 128}, {127, 127}}};
    const int dx[4] = {-1, 0, 1, 0}, dy[4] = {0, -1, 0, 1};
    for (std::uint8_t dir = 0; dir < 4; ++dir) {
        snake_t s = painting(PAINT_WALL_READ, 128, 128, dir); // no food mark while pending
        const int back = dir ^ 2;
        s.ring_len = 1, s.ring[0] = {std::uint8_t(back), 20};
        ops_t want{dark};
        for (const auto &p : mark[dir])
            want.push_back(lit(p[0], p[1]));
        for (int k = 1; k <= 20; ++k)
            want.push_back(lit(128 + k * dx[back], 128 + k * dy[back]));
        want.push_back(dark);
        EXPECT_EQ(calls(s, 0), want) << int(dir);
    }
}

TEST(Painter, FoodMarkWithoutSnake)
{
    const ops_t mark{dark,          lit(112, 112), lit(112, 111), lit(113, 111),
                     lit(113, 112), lit(113, 113), lit(112, 113), lit(111, 113),
                     lit(111, 112), lit(111, 111), dark};
    for (std::uint8_t over : {0, 1}) { // no food once the game is over
        snake_t s = painting(PAINT_WALL_READ, 0, 0, 0);
        s.food_new = 0, s.game_over = over, s.point[SNAKE_FOOD] = {112, 112};
        s.paint_dir = 3; // as the wall reader left it
        EXPECT_EQ(calls(s, 0), over ? ops_t{dark} : mark);
        EXPECT_EQ(s.paint_state, PAINT_HEAD); // ring_len 0: neither head nor body
    }
}

TEST(Painter, BodyRunsWrapAroundTheRing)
{
    snake_t s = painting(PAINT_HEAD, 100, 100, 2);
    s.ring_head = 24, s.ring_len = 3, s.ring[24] = {0, 1}, s.ring[0] = {1, 2}, s.ring[1] = {0, 3};
    s.ring[2] = s.ring[23] = {3, 9}; // out of use
    // Runs 24, 0 and 1: {0, 1}, {1, 2}, {0, 3}.
    EXPECT_EQ(calls(s, 0), (ops_t{lit(99, 100), lit(99, 99), lit(99, 98), lit(98, 98), lit(97, 98),
                                  lit(96, 98), dark}));
}

TEST(Painter, WallStrokeOfFiftyTwoTakesThirteenTicks)
{
    snake_t s = painting(PAINT_TEXTS_DONE, 0, 0, 0);
    s.level = 1;
    EXPECT_EQ(calls(s), ops_t{dark}); // the move-to
    EXPECT_EQ(make_tuple(s.paint_left, s.paint_x, s.paint_y), make_tuple(52, 40, 52));
    ops_t want;
    for (int i = 1; i <= 13; ++i)
        want.push_back(lit(40 + 4 * i, 52));
    want.push_back(lit(96, 52)); // the next stroke goes on from the cursor: no tick lost
    EXPECT_EQ(calls(s, 14), want);
}

TEST(Painter, SnakePictureHasOneWavePerRun)
{
    for (std::uint8_t n : {0, 1, 25}) {
        snake_t s = painting(PAINT_TEXT_NEXT, 0, 0, 0);
        s.text_idx = 1, s.ring_len = n;
        EXPECT_EQ(calls(s), ops_t{dark});
        std::string picture(n + 2, '~'); // "$", a wave per run, "'"
        picture.front() = '$';
        picture.back() = '\'';
        EXPECT_EQ(snake_text[1], picture);
        EXPECT_EQ(make_tuple(drawinfo.x0, drawinfo.y0, drawinfo.size), make_tuple(100, 25, 1));
    }
}

} // namespace
