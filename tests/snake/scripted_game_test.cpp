// The scripted game that pc-snake plays, checked frame by frame through the
// beam operations the module sends. Frame index i is the frame drawn when
// pc-snake is given the frame number i + 1.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "tests/snake/recording_host.h"

namespace {

using point_set = std::set<std::pair<int, int>>;

point_set points_in_state(const std::vector<beam_op_t> &ops, std::uint8_t state)
{
    point_set pts;
    for (const beam_op_t &op : ops)
        if (op.lit && op.state == state)
            pts.insert({op.x, op.y});
    return pts;
}

std::vector<beam_op_t> text_item_points(const std::vector<beam_op_t> &ops, std::uint8_t item)
{
    std::vector<beam_op_t> pts;
    for (const beam_op_t &op : ops)
        if (op.lit && op.state == PAINT_TEXT && op.item == item)
            pts.push_back(op);
    return pts;
}

TEST(ScriptedGame, FirstFramePlacesTheTextsWithinItsTickCount)
{
    snake_t game;
    const auto frames = play_scripted_game(game, 1, 1);
    const auto &ops = frames[0].ops;
    EXPECT_EQ(ops.size(), 368u);
    EXPECT_FALSE(ops.front().lit); // the setup of the score text
    EXPECT_FALSE(ops.back().lit);  // the frame end

    // Score text: two lines from x 100, baselines 220 and 209 (11 apart at size 1).
    const auto score = text_item_points(ops, 0);
    ASSERT_FALSE(score.empty());
    int min_x = 255, min_y = 255, max_y = 0;
    for (const auto &op : score) {
        min_x = std::min<int>(min_x, op.x);
        min_y = std::min<int>(min_y, op.y);
        max_y = std::max<int>(max_y, op.y);
    }
    EXPECT_EQ(min_x, 100);
    EXPECT_EQ(min_y, 209);     // "Level: 1" has no descender
    EXPECT_EQ(max_y, 220 + 6); // capitals reach 6 units above the first baseline

    // The snake picture "$~'" at (100, 25): within x 101.. and y 25 to 31.
    for (const auto &op : text_item_points(ops, 1)) {
        EXPECT_GE(op.x, 101);
        EXPECT_GE(op.y, 25);
        EXPECT_LE(op.y, 31);
    }

    // No food yet: the first candidate is accepted only at the next frame start.
    // (Wall, head mark and body are checked on the image in the program's tests.)
    EXPECT_TRUE(points_in_state(ops, PAINT_FOOD).empty());
}

TEST(ScriptedGame, SecondFrameDrawsTheFirstCandidateAsFoodBlock)
{
    snake_t game;
    const auto frames = play_scripted_game(game, 1, 2);
    point_set expected;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            expected.insert({64 + dx, 80 + dy});
    EXPECT_EQ(points_in_state(frames[1].ops, PAINT_FOOD), expected);
}

struct crash_case_t {
    std::uint8_t level;
    int crash_frame;
    std::uint8_t x;
    std::uint8_t y;
};

void PrintTo(const crash_case_t &c, std::ostream *os)
{
    *os << "level " << int{c.level} << ", crash in frame index " << c.crash_frame << " at ("
        << int{c.x} << ", " << int{c.y} << ")";
}

class ScriptedGameAtLevel : public ::testing::TestWithParam<crash_case_t> {};

TEST_P(ScriptedGameAtLevel, EatsThreeTimesThenCrashesAndDrains)
{
    const crash_case_t c = GetParam();
    snake_t game;
    const auto frames = play_scripted_game(game, c.level, 700);

    // Meals: the score rises by 20 exactly in frames 111, 215 and 295.
    std::vector<int> meals;
    for (std::size_t i = 1; i < frames.size(); ++i)
        if (frames[i].after_paint.score != frames[i - 1].after_paint.score)
            meals.push_back(static_cast<int>(i));
    EXPECT_EQ(meals, (std::vector<int>{111, 215, 295}));
    EXPECT_EQ(frames[111].after_paint.score, 20);
    EXPECT_EQ(frames[295].after_paint.score, 60);

    // The crash.
    const auto &crash = frames[c.crash_frame].after_paint;
    EXPECT_EQ(frames[c.crash_frame - 1].after_paint.game_over, 0);
    EXPECT_EQ(crash.game_over, 1);
    EXPECT_EQ(crash.crashed, 1);
    EXPECT_EQ(crash.point[SNAKE_HEAD].x, c.x);
    EXPECT_EQ(crash.point[SNAKE_HEAD].y, c.y);
    EXPECT_TRUE(text_item_points(frames[c.crash_frame].ops, 2).empty());

    // "Game over!" at size 3 from x 70 rises: baselines 1, 1, 2, 2, 3, 3 ...
    // while the body loses one unit per frame.
    for (int k = 1; k <= 12; ++k) {
        const auto &f = frames[c.crash_frame + k];
        const auto over = text_item_points(f.ops, 2);
        ASSERT_FALSE(over.empty()) << "frame " << c.crash_frame + k;
        int min_x = 255, min_y = 255;
        for (const auto &op : over) {
            min_x = std::min<int>(min_x, op.x);
            min_y = std::min<int>(min_y, op.y);
        }
        EXPECT_EQ(min_x, 70);
        EXPECT_EQ(min_y, (k + 1) / 2) << "frame " << c.crash_frame + k;
        EXPECT_EQ(body_length(f.after_paint),
                  body_length(frames[c.crash_frame + k - 1].after_paint) - 1);
        EXPECT_EQ(f.after_paint.point[SNAKE_HEAD].x, c.x); // the head stands
    }

    std::size_t most = 0;
    for (const auto &f : frames)
        most = std::max(most, f.ops.size());
    EXPECT_LE(most, 2000u);
    RecordProperty("max_ticks", static_cast<int>(most));
    std::printf("level %d: at most %zu ticks in a frame\n", c.level, most);
}

INSTANTIATE_TEST_SUITE_P(Levels, ScriptedGameAtLevel,
                         ::testing::Values(crash_case_t{1, 335, 168, 104},
                                           crash_case_t{2, 335, 168, 104},
                                           crash_case_t{3, 307, 164, 120},
                                           crash_case_t{4, 307, 164, 120}),
                         [](const ::testing::TestParamInfo<crash_case_t> &info) {
                             return "level" + std::to_string(info.param.level);
                         });

} // namespace
