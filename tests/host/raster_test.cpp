// The beam raster driven directly, as the painter would drive it, with the
// afterglow listening.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "host/sim/afterglow.h"
#include "host/sim/beam_raster.h"

namespace {

using lit_map = std::map<std::pair<int, int>, double>; // every other element stays 0

snake_t game; // only its painter state matters to the raster
const auto glow = std::make_unique<afterglow_t>();

// Clean buffer and counter in an asked-for frame, with any join broken.
void start(std::uint8_t state)
{
    static const beam_listening_t listening(afterglow_listener(glow.get()));
    raster_watch(&game);
    game = snake_t{};
    game.paint_state = state;
    raster_begin_frame(1, frame_use_t::asked);
    beam.tick = 0;
    beam_skip();
    beam.tick = 0;
}

double at(int x, int y) { return glow->pixel[screen_index(x, y)]; }

TEST(BeamRaster, BrighteningNeverPassesOne)
{
    start(PAINT_FOOD);
    for (int i = 0; i < 100; ++i)
        heller(glow.get(), 3, 4, 0.8);
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
                raster.use = s[0] == 'Z' ? frame_use_t::asked : frame_use_t::unheard;
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

// The fault a tick leaves, and the budget of the frame it broke off.
TEST(BeamRaster, TickLimitAndSlantedWallLineBreakOffTheFrame)
{
    struct case_t {
        frame_use_t use;
        std::uint8_t state;
        bool lit; // the offending tick
        const char *message;
        beam_pass_t pass;
    };
    // Frames nobody hears are held to the limit too.
    const case_t cases[] = {
        {frame_use_t::unheard, 0x0A, false, "EXIT (tick=2001)  @0a\n", beam_pass_t::body},
        {frame_use_t::asked, PAINT_FOOD, true, "EXIT (tick=2001)  @fe\n", beam_pass_t::food},
        {frame_use_t::light, PAINT_HEAD, false, "EXIT (tick=2001)  @ff\n", beam_pass_t::head},
    };
    for (const case_t &c : cases) {
        SCOPED_TRACE(c.message);
        start(c.state);
        raster.use = c.use;
        beam.tick = BEAM_TICK_LIMIT - 2;
        beam_skip();
        beam_xy(40, 40);
        EXPECT_EQ(beam.tick, 2000);
        EXPECT_FALSE(beam_faulted(raster.fault));
        c.lit ? beam_xy(1, 2) : beam_skip();
        beam_skip(); // a second tick of the same pixel call changes nothing
        const beam_fault_t &f = raster.fault;
        EXPECT_EQ(f.kind, beam_fault_kind_t::tick_limit);
        EXPECT_EQ(f.tick, 2001);
        EXPECT_EQ(f.pass, c.pass);
        EXPECT_EQ(beam_fault_message(f), c.message);
        EXPECT_EQ(f.budget.total, 2001);
        EXPECT_EQ(raster_end_frame().total, 2001);
    }
    start(PAINT_WALL_READ);
    beam_xy(10, 20);
    beam_xy(14, 24);
    EXPECT_EQ(beam_fault_message(raster.fault), "@fd: [14 24] (1,1) --> [10 20]  @fd\n");
    EXPECT_EQ(at(12, 22) + at(14, 24) + at(11, 20), 0.0) << "a slanted line lights nothing";
    start(PAINT_WALL);
    beam_xy(10, 20);
    beam_xy(6, 16);
    EXPECT_EQ(raster.fault.kind, beam_fault_kind_t::slanted_join);
    EXPECT_EQ(raster.fault.pass, beam_pass_t::walls);
    EXPECT_EQ(beam_fault_message(raster.fault), "@fc: [6 16] (-1,-1) --> [10 20]  @fc\n");
}

// Who hears what: every listener the frames asked for, a listener of the
// light also the frames played for it, nobody the rest; each heard frame
// begins and ends; nothing is heard after the tick that broke a frame off.
TEST(BeamRaster, ListenersHearTheFramesMeantForThem)
{
    struct ear_t {
        std::vector<std::string> heard;
        static void tick(void *c, const beam_tick_t &t)
        {
            static_cast<ear_t *>(c)->heard.push_back(
                std::to_string(t.frame) + (t.lit ? "L" : "S") + std::to_string(t.tick) +
                (t.joined ? "j" : "") + (t.faulted ? "!" : ""));
        }
        static void begin(void *c, const beam_frame_t &f)
        {
            static_cast<ear_t *>(c)->heard.push_back("<" + std::to_string(f.number));
        }
        static void end(void *c, const beam_frame_end_t &e)
        {
            static_cast<ear_t *>(c)->heard.push_back(std::to_string(e.number) + ">" +
                                                     std::to_string(e.budget->total) +
                                                     (e.fault != nullptr ? "!" : ""));
        }
    };
    ear_t asked_only, light_too;
    start(PAINT_WALL);
    {
        const beam_listening_t a({&asked_only, ear_t::tick, ear_t::begin, ear_t::end});
        const beam_listening_t b({&light_too, ear_t::tick, ear_t::begin, ear_t::end, true});
        const std::pair<std::int64_t, frame_use_t> frames[] = {
            {7, frame_use_t::asked}, {8, frame_use_t::unheard}, {9, frame_use_t::light}};
        for (const auto &[number, use] : frames) {
            raster_begin_frame(number, use);
            beam.tick = 0;
            beam_skip();
            beam_xy(10, 20);
            beam_xy(14, 20); // joined: the display fills 11..13 in
            raster_end_frame();
        }
        raster_begin_frame(10, frame_use_t::asked);
        beam.tick = BEAM_TICK_LIMIT;
        beam_xy(5, 6);
        beam_xy(7, 8);
        raster_end_frame();
    }
    raster_begin_frame(11, frame_use_t::asked);
    beam_skip(); // forgotten with the scope
    const std::vector<std::string> frame7 = {"<7", "7S1", "7L2", "7L3j", "7>3"};
    const std::vector<std::string> frame9 = {"<9", "9S1", "9L2", "9L3j", "9>3"};
    const std::vector<std::string> frame10 = {"<10", "10L2001j!", "10>2001!"};
    std::vector<std::string> want = frame7;
    want.insert(want.end(), frame10.begin(), frame10.end());
    EXPECT_EQ(asked_only.heard, want);
    want = frame7;
    want.insert(want.end(), frame9.begin(), frame9.end());
    want.insert(want.end(), frame10.begin(), frame10.end());
    EXPECT_EQ(light_too.heard, want);
}

} // namespace
