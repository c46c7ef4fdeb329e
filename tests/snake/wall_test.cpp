// The wall outline read stroke by stroke as the painter reads it, with the head
// test and the food inside test riding on it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <tuple>
#include <utility>
#include <vector>

#include "snake/snake_private.h"

namespace {

using std::make_tuple;
using point_t = std::pair<int, int>;
// result, paint_left, paint_state, position in WALL afterwards, cursor, paint_dir
using read_t = std::tuple<int, int, int, int, int, int, int>;

const auto pt = [](int x, int y) { return snake_point_t{std::uint8_t(x), std::uint8_t(y)}; };

snake_t at_level(int level, snake_point_t head = {128, 128}, snake_point_t food = {128, 128})
{
    snake_t s{};
    s.level = std::uint8_t(level), s.food_new = 1;
    s.point[SNAKE_HEAD] = head, s.point[SNAKE_FOOD] = food;
    return s;
}

// The painter's side: a read whenever a stroke is used up, dark unless the
// stroke continues from the cursor; then 4-unit steps, each lit. Dark ticks
// are (-1, -1).
std::pair<std::vector<point_t>, std::vector<read_t>> draw_outline(snake_t &s)
{
    static constexpr int dx[4] = {-4, 0, 4, 0}, dy[4] = {0, -4, 0, 4};
    std::vector<point_t> ticks;
    std::vector<read_t> reads;
    s.food_cross = 0, s.wall_ptr = WALL.data(), s.paint_state = PAINT_WALL;
    for (int r = read_wall_seg(&s);; r = read_wall_seg(&s)) {
        reads.emplace_back(r, s.paint_left, s.paint_state, s.wall_ptr - WALL.data(), s.paint_x,
                           s.paint_y, s.paint_dir);
        if (r != 0 || ticks.empty()) // the first read's tick is dark anyway
            ticks.emplace_back(-1, -1);
        if (s.paint_state == PAINT_WALL_READ)
            return {ticks, reads};
        for (; s.paint_left != 0; s.paint_left -= 4) {
            s.paint_x += dx[s.paint_dir & 3], s.paint_y += dy[s.paint_dir & 3];
            ticks.emplace_back(s.paint_x, s.paint_y);
        }
        s.paint_state = PAINT_WALL_READ;
    }
}

// level, lit and dark ticks, food candidates that pass
constexpr int level_cases[4][4] = {
    {1, 145, 2, 240}, {2, 161, 2, 209}, {3, 194, 4, 202}, {4, 234, 4, 206}};

TEST(WallOutline, TicksAndJointsPerLevel)
{
    // Levels 1 and 2 end at the level end mark, position 27; 3 and 4 pause there
    // keeping the cursor and heading of the segment before, and end at the last byte.
    const read_t end12{1, 0, PAINT_WALL_READ, 28, 44, 52, 2},
        pause{1, 0, PAINT_WALL, 28, 44, 52, 1};
    const read_t end34{1, 0, PAINT_WALL_READ, 40, 148, 140, 0};
    for (const auto &c : level_cases) {
        snake_t s = at_level(c[0]);
        const auto [ticks, reads] = draw_outline(s);
        int lit = 0, diagonal = 0;
        for (std::size_t i = 1; i < ticks.size(); ++i) {
            const auto [x, y] = ticks[i];
            const int ax = std::abs(x - ticks[i - 1].first), ay = std::abs(y - ticks[i - 1].second);
            lit += x >= 0;
            diagonal += x >= 0 && ticks[i - 1].first >= 0 && !(ax + ay == 4 && ax * ay == 0);
        }
        // Each figure closes where it began: the outer wall at (44, 52), the T at (148, 140).
        const point_t last = c[0] <= 2 ? point_t(44, 52) : point_t(148, 140);
        EXPECT_EQ(make_tuple(lit, int(ticks.size()) - lit, diagonal, ticks[1], ticks.end()[-2],
                             s.crashed),
                  make_tuple(c[1], c[2], 0, point_t(44, 52), last, 0))
            << c[0];
        EXPECT_EQ(reads.front(), read_t(1, 52, PAINT_WALL, 4, 40, 52, 2)) << c[0];
        EXPECT_EQ(reads.back(), c[0] <= 2 ? end12 : end34) << c[0];
        EXPECT_EQ(*std::find_if(reads.begin(), reads.end(),
                                [](const read_t &r) { return std::get<3>(r) == 28; }),
                  c[0] <= 2 ? end12 : pause)
            << c[0];
    }
}

TEST(ReadWallSeg, FoodInsideTest)
{
    for (const auto &c : level_cases) {
        int passing = 0;
        for (int fx = 64; fx <= 184; fx += 8)
            for (int fy = 64; fy <= 184; fy += 8) {
                snake_t s = at_level(c[0], {128, 128}, pt(fx, fy));
                draw_outline(s);
                passing += s.food_ok;
            }
        EXPECT_EQ(passing, c[3]) << "level " << c[0];
    }
    snake_t s = at_level(1, {128, 128}, {128, 184}); // outside, but no longer a candidate
    s.food_new = 0, s.food_ok = 1;
    draw_outline(s);
    EXPECT_EQ(s.food_ok, 1);
}

TEST(ReadWallSeg, HeadAndFoodTestsOnOneOutline)
{
    // level, head, candidate, game_over before; then crashed and food_ok. By line:
    // position 4 is hidden at level 1; the gap in level 4's bottom wall; corners;
    // 4 past a corner (two lines); a hit on the right wall comes before the top wall
    // is counted, one on the top wall after its count; no tests once over; in and
    // below the T; in the hook and in the channel under it.
    // clang-format off
    const int cases[][8] = {
        {1, 92, 60, 128, 128, 0, 0, 1},   {2, 92, 60, 128, 128, 0, 1, 0},
        {4, 96, 52, 128, 128, 0, 0, 1},   {4, 100, 52, 128, 128, 0, 1, 0},
        {1, 44, 52, 128, 128, 0, 1, 0},   {1, 204, 52, 128, 128, 0, 1, 0},
        {1, 40, 52, 128, 128, 0, 0, 1},   {1, 208, 52, 128, 128, 0, 0, 1},
        {1, 204, 48, 128, 128, 0, 0, 1},
        {1, 204, 128, 128, 128, 0, 1, 0}, {1, 120, 180, 128, 128, 0, 1, 1},
        {1, 44, 52, 128, 128, 1, 0, 0},
        {3, 128, 128, 160, 120, 0, 0, 0}, {3, 128, 128, 160, 88, 0, 0, 1},
        {4, 128, 128, 160, 88, 0, 0, 0},  {4, 128, 128, 136, 64, 0, 0, 1},
    };
    // clang-format on
    for (const auto &c : cases) {
        snake_t s = at_level(c[0], pt(c[1], c[2]), pt(c[3], c[4]));
        s.game_over = std::uint8_t(c[5]), s.food_ok = 1;
        draw_outline(s);
        EXPECT_EQ(make_tuple(s.crashed, s.game_over, s.food_ok),
                  make_tuple(c[6], c[5] | c[6], c[7]))
            << c[0] << ": " << c[1] << "," << c[2] << " food " << c[3] << "," << c[4];
    }
}

} // namespace
