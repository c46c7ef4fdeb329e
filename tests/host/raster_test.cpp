// The beam raster driven directly, as the painter would drive it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "host/sim/beam_raster.h"

namespace {

using lit_map = std::map<std::pair<int, int>, double>; // every other element stays 0

snake_t game; // only its painter state matters to the raster

// Clean buffer and counter in a recorded frame, with any join broken.
void start(std::uint8_t state)
{
    raster_watch(&game);
    game = snake_t{};
    game.paint_state = state;
    raster_begin_frame(1, true);
    beam.tick = 0;
    beam_skip();
    beam.tick = 0;
}

double at(int x, int y) { return raster.pixel[screen_index(x, y)]; }

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
                raster.recording = s[0] == 'Z';
        }
        EXPECT_EQ(beam.tick, ticks);
        for (int x = 0; x < SCREEN_SIDE; ++x)
            for (int y = 0; y < SCREEN_SIDE; ++y) {
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
    for (std::int32_t f : {0, 5}) { // frames not recorded are held to the limit too
        start(f != 0 ? 0x0A : PAINT_FOOD);
        raster.recording = f == 0;
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
    game.paint_state = PAINT_WALL;
    seen = abort_of([] { beam_xy(6, 16); });
    EXPECT_EQ(seen.status, 3);
    EXPECT_EQ(seen.pass, beam_pass_t::walls);
    EXPECT_EQ(seen.message, "@fc: [6 16] (-1,-1) --> [10 20]  @fc\n");
}

TEST(BeamRaster, ListenersHearEveryOperationOfRecordedFramesOnly)
{
    std::vector<beam_tick_t> heard;
    const beam_listener_t ear{[](void *c, const beam_tick_t &t) {
                                  static_cast<std::vector<beam_tick_t> *>(c)->push_back(t);
                              },
                              &heard};
    start(PAINT_WALL);
    {
        const beam_listening_t listening(ear);
        raster_begin_frame(7, true);
        beam_skip();
        beam_xy(10, 20);
        beam_xy(14, 20); // joined: the display fills 11..13 in
        game.paint_state = PAINT_FOOD;
        beam_xy(60, 60); // not a wall: never joined
        raster_begin_frame(8, false);
        beam_xy(1, 1);
        beam_skip();
        EXPECT_EQ(heard.size(), 4u) << "a frame not recorded reaches no listener";
        raster_begin_frame(9, true);
        beam.tick = BEAM_TICK_LIMIT;
        abort_of([] { beam_xy(5, 6); });
    }
    beam.tick = 0;
    beam_skip(); // forgotten with the scope
    struct want_t {
        std::int64_t frame;
        std::uint16_t tick;
        beam_pass_t pass;
        bool lit, joined;
        int x, y, from_x, from_y;
    };
    const want_t want[] = {
        {7, 1, beam_pass_t::walls, false, false, 0, 0, 0, 0},
        {7, 2, beam_pass_t::walls, true, false, 10, 20, 0, 0},
        {7, 3, beam_pass_t::walls, true, true, 14, 20, 10, 20},
        {7, 4, beam_pass_t::food, true, false, 60, 60, 14, 20},
        {9, 2001, beam_pass_t::food, true, false, 5, 6, 0, 0}, // the tick that ends the run
    };
    ASSERT_EQ(heard.size(), std::size(want));
    for (std::size_t i = 0; i < heard.size(); ++i) {
        SCOPED_TRACE(i);
        const beam_tick_t &t = heard[i];
        const want_t &w = want[i];
        EXPECT_EQ(t.frame, w.frame);
        EXPECT_EQ(t.tick, w.tick);
        EXPECT_EQ(t.pass, w.pass);
        EXPECT_EQ(t.lit, w.lit);
        EXPECT_EQ(t.joined, w.joined);
        EXPECT_EQ(t.x, w.x);
        EXPECT_EQ(t.y, w.y);
        if (t.joined) {
            EXPECT_EQ(t.from_x, w.from_x);
            EXPECT_EQ(t.from_y, w.from_y);
        }
    }
}

} // namespace
