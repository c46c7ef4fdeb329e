// The beam raster driven directly, as the painter would drive it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "host/sim/beam_raster.h"

// The driver's globals that the raster reads.
std::int32_t frame;
snake_t snake;

namespace {

using lit_map = std::map<std::pair<int, int>, double>; // every other element stays 0

// Clean buffer and counter in the last frame, with any join broken.
void start(std::uint8_t state)
{
    std::fill(std::begin(pixel), std::end(pixel), 0.0);
    frame = 0;
    snake.paint_state = state;
    beam.tick = 0;
    beam_skip();
    beam.tick = 0;
}

double at(int x, int y) { return pixel[x * SCREEN_SIZE + y]; }

TEST(BeamRaster, BrighteningNeverPassesOne)
{
    start(PAINT_FOOD);
    for (int i = 0; i < 100; ++i)
        heller(3, 4, 0.8);
    EXPECT_LE(at(3, 4), 1.0);
    EXPECT_GT(at(3, 4), 0.96);
}

TEST(BeamRaster, JoinsOnlyWallStrokesInTheLastFrame)
{
    // 'L' lit point, 'S' dark tick, 'F' an earlier frame begins, 'Z' the last one.
    using step_t = std::array<int, 3>;
    const lit_map joined = {
        {{10, 20}, 0.8}, {{11, 20}, 0.4}, {{12, 20}, 0.4}, {{13, 20}, 0.4}, {{14, 20}, 0.8}};
    const lit_map apart = {{{10, 20}, 0.8}, {{14, 20}, 0.8}};
    const std::tuple<std::uint8_t, std::vector<step_t>, lit_map> cases[] = {
        // clang-format off
        {PAINT_WALL, {{'L', 10, 20}, {'L', 14, 20}}, joined},
        {PAINT_WALL_READ, {{'L', 10, 20}, {'L', 14, 20}}, joined},
        {PAINT_WALL, {{'L', 10, 20}, {'L', 10, 16}},
         {{{10, 20}, 0.8}, {{10, 19}, 0.4}, {{10, 18}, 0.4}, {{10, 17}, 0.4}, {{10, 16}, 0.8}}},
        {PAINT_WALL, {{'L', 10, 20}, {'L', 10, 20}}, {{{10, 20}, 0.96}}}, // 1 - 0.2 * 0.2
        {PAINT_FOOD, {{'L', 10, 20}, {'L', 200, 20}}, {{{10, 20}, 0.8}, {{200, 20}, 0.8}}},
        {PAINT_HEAD, {{'L', 10, 20}, {'L', 10, 90}}, {{{10, 20}, 0.8}, {{10, 90}, 0.8}}},
        {0, {{'L', 10, 20}, {'L', 200, 90}}, {{{10, 20}, 0.8}, {{200, 90}, 0.8}}},
        {PAINT_WALL, {{'L', 10, 20}, {'S'}, {'L', 14, 20}}, apart},
        // An earlier frame neither records nor moves the last point, nor clears a skip.
        {PAINT_WALL, {{'L', 10, 20}, {'F'}, {'L', 30, 20}, {'L', 31, 20}, {'Z'}, {'L', 14, 20}}, joined},
        {PAINT_WALL, {{'L', 10, 20}, {'S'}, {'F'}, {'L', 30, 20}, {'Z'}, {'L', 14, 20}}, apart},
        // clang-format on
    };
    int n = 0;
    for (const auto &[state, steps, lit] : cases) {
        SCOPED_TRACE("case " + std::to_string(n++));
        start(state);
        int ticks = 0;
        for (const step_t &s : steps) {
            ticks += s[0] == 'L' || s[0] == 'S';
            if (s[0] == 'L')
                beam_xy(s[1], s[2]);
            else if (s[0] == 'S')
                beam_skip();
            else
                frame = s[0] == 'F';
        }
        EXPECT_EQ(beam.tick, ticks);
        for (int x = 0; x < SCREEN_SIZE; ++x)
            for (int y = 0; y < SCREEN_SIZE; ++y) {
                const auto it = lit.find({x, y});
                EXPECT_DOUBLE_EQ(at(x, y), it == lit.end() ? 0.0 : it->second)
                    << "(" << x << "," << y << ")";
            }
    }
}

TEST(BeamRaster, JoinStepsByUnsignedComparison)
{
    // From 250 to 2 the fill runs down through 249..3, not across 255/0.
    start(PAINT_WALL);
    beam_xy(250, 20);
    beam_xy(2, 20);
    EXPECT_DOUBLE_EQ(at(249, 20) + at(3, 20), 0.8);
    EXPECT_EQ(at(255, 20) + at(0, 20) + at(1, 20), 0.0);
}

// Runs op, which must abort the frame: the status, pass and message it left.
struct abort_seen_t {
    int status = 0;
    beam_pass_t pass = beam_pass_t::end;
    std::string message;
};

template <typename Op> abort_seen_t abort_of(Op op)
{
    abort_seen_t seen;
    ::testing::internal::CaptureStderr();
    try {
        op();
        ADD_FAILURE() << "no abort";
    } catch (const beam_abort_t &a) {
        seen.status = a.status;
        seen.pass = a.pass;
    }
    seen.message = ::testing::internal::GetCapturedStderr();
    return seen;
}

TEST(BeamRaster, TickLimitAndDiagonalWallJoinAbortTheFrame)
{
    for (std::int32_t f : {0, 5}) { // earlier frames are held to the limit too
        start(f != 0 ? 0x0A : PAINT_FOOD);
        frame = f;
        beam.tick = BEAM_TICK_LIMIT - 2;
        beam_skip();
        beam_xy(40, 40);
        EXPECT_EQ(beam.tick, 2000);
        const abort_seen_t seen = abort_of([f] { f != 0 ? beam_skip() : beam_xy(1, 2); });
        EXPECT_EQ(seen.status, 2);
        EXPECT_EQ(seen.pass, f != 0 ? beam_pass_t::body : beam_pass_t::food);
        EXPECT_EQ(seen.message, f != 0 ? "EXIT (tick=2001)  @0a\n" : "EXIT (tick=2001)  @fe\n");
    }
    start(PAINT_WALL_READ);
    beam_xy(10, 20);
    abort_seen_t seen = abort_of([] { beam_xy(14, 24); });
    EXPECT_EQ(seen.status, 3);
    EXPECT_EQ(seen.message, "@fd: [14 24] (1,1) --> [10 20]  @fd\n");
    snake.paint_state = PAINT_WALL;
    seen = abort_of([] { beam_xy(6, 16); });
    EXPECT_EQ(seen.status, 3);
    EXPECT_EQ(seen.pass, beam_pass_t::walls);
    EXPECT_EQ(seen.message, "@fc: [6 16] (-1,-1) --> [10 20]  @fc\n");
}

} // namespace
