// Slow motion and single steps: a frame stepped through shows exactly its
// ticks so far, and a game played so replays to the same frames.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "host/keys/game_settings.h"
#include "host/keys/stimuli.h"
#include "host/play/beam_stepper.h"
#include "host/play/play_picture.h"
#include "host/play/step_picture.h"
#include "host/sim/scripted_run.h"
#include "tests/support/heard_frame.h"
#include "tests/support/image_compare.h"
#include "tests/support/image_decode.h"
#include "tests/support/run_program.h"

namespace {

using pixels_t = std::vector<double>;

void keep_tick(void *ticks, const beam_tick_t &t)
{
    static_cast<std::vector<beam_tick_t> *>(ticks)->push_back(t);
}

// The ticks of frame n of the built-in game, heard from the raster.
std::vector<beam_tick_t> frame_ticks(std::uint8_t level, std::int64_t n)
{
    std::vector<beam_tick_t> heard;
    scripted_run_t run;
    run.setup.level = level;
    run.keys = builtin_key_script();
    run_start(&run);
    const beam_listening_t listening({&heard, keep_tick});
    run_to_frame(&run, n);
    return heard;
}

// The first `count` ticks sent through the raster again, from the painter
// states they carry: the afterglow they leave.
pixels_t raster_replay(const std::vector<beam_tick_t> &ticks, std::size_t count)
{
    static snake_t painter;
    const auto heard = std::make_unique<heard_frame_t>();
    raster_watch(&painter);
    raster_begin_frame(ticks.front().frame, frame_use_t::asked);
    beam.tick = 0;
    raster.skip = 1; // every frame follows the dark tick that ended the last
    for (std::size_t i = 0; i < count; ++i) {
        painter.paint_state = ticks[i].state;
        ticks[i].lit ? beam_xy(ticks[i].x, ticks[i].y) : beam_skip();
    }
    return heard->pixels();
}

bool is_message(const rgb_image_t &image, int x, int y)
{
    const std::size_t at =
        (static_cast<std::size_t>(255 - y) * 256 + static_cast<std::size_t>(x)) * 3;
    return image.rgb[at] == MESSAGE_COLOR[0] && image.rgb[at + 1] == MESSAGE_COLOR[1] &&
           image.rgb[at + 2] == MESSAGE_COLOR[2];
}

TEST(Stepping, NStepsShowExactlyTheFirstNTicks)
{
    constexpr std::int64_t FRAME = 112; // a meal: texts, walls, food, head and a long body
    const std::vector<beam_tick_t> want = frame_ticks(3, FRAME);
    ASSERT_GT(want.size(), 400u);
    // Dark and lit ticks of every pass, and the whole frame.
    std::map<std::size_t, pixels_t> expected;
    for (std::size_t n : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{200},
                          std::size_t{300}, want.size() - 12, want.size() - 1, want.size()})
        expected[n] = raster_replay(want, n);

    auto s = std::make_unique<play_session_t>();
    const key_script_t keys = builtin_key_script();
    game_setup_t setup;
    setup.level = 3;
    session_start(s.get(), setup, &keys);
    while (s->drawn < FRAME - 1)
        session_step(s.get());
    auto st = std::make_unique<beam_stepper_t>();
    std::size_t steps = 0;
    for (const auto &[n, pixels] : expected) {
        while (steps < n) {
            stepper_step(st.get(), s.get());
            ++steps;
        }
        SCOPED_TRACE("after " + std::to_string(n) + " steps");
        ASSERT_TRUE(s->paused);
        ASSERT_EQ(st->shown, n);
        const std::unique_ptr<afterglow_t> stepped = stepper_glow(*st);
        EXPECT_EQ(pixels_t(stepped->pixel.begin(), stepped->pixel.end()), pixels);
        // The picture shows that glow wherever marker and text leave it.
        const rgb_image_t shown = step_picture(*st);
        const rgb_image_t glow = frame_image(pixels.data());
        std::size_t covered = 0;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                if (is_message(shown, x, y)) {
                    ++covered;
                    continue;
                }
                const std::size_t at = (static_cast<std::size_t>(255 - y) * 256 + x) * 3;
                ASSERT_EQ(shown.rgb[at + 1], glow.rgb[at + 1]) << x << "," << y;
            }
        EXPECT_LT(covered, 2000u);
        // The marker: on the last lit point, filled if that is the last tick.
        std::size_t lit = n;
        while (lit > 0 && !want[lit - 1].lit)
            --lit;
        if (lit == 0)
            continue; // the frame begins dark: no point yet to mark
        const beam_tick_t &at = want[lit - 1];
        EXPECT_EQ(is_message(shown, at.x, at.y), lit == n);
        EXPECT_TRUE(is_message(shown, at.x + STEP_MARKER_RADIUS, at.y));
    }
    EXPECT_EQ(s->drawn, FRAME - 1) << "the frame is not over before its ticks are";
    stepper_step(st.get(), s.get()); // the frame ends and the next begins
    EXPECT_EQ(s->drawn, FRAME);
    EXPECT_EQ(st->shown, 1u);
    EXPECT_EQ(st->ticks.front().frame, FRAME + 1);

    // A slanted wall join breaks its frame off: shown step by step, it and
    // the line to it stay dark, as in the raster's glow.
    auto slanted = std::make_unique<beam_stepper_t>();
    {
        const beam_listening_t listening({&slanted->ticks, keep_tick});
        const std::vector<beam_tick_t> walls = {
            // up, then slanted
            {1, 1, beam_pass_t::walls, PAINT_WALL, true, 10, 20, false, 0, 0, false},
            {1, 2, beam_pass_t::walls, PAINT_WALL, true, 10, 24, false, 0, 0, false},
            {1, 3, beam_pass_t::walls, PAINT_WALL, true, 14, 28, false, 0, 0, false}};
        expected[0] = raster_replay(walls, walls.size());
    }
    ASSERT_TRUE(slanted->ticks.back().faulted);
    slanted->shown = slanted->ticks.size();
    const auto glow = stepper_glow(*slanted);
    EXPECT_EQ(pixels_t(glow->pixel.begin(), glow->pixel.end()), expected[0]);
    EXPECT_EQ(glow->pixel[screen_index(10, 22)], BEAM_WEIGHT_FILLED) << "the straight join";
    EXPECT_EQ(glow->pixel[screen_index(12, 26)] + glow->pixel[screen_index(14, 28)], 0.0);
}

play_input_t key(std::uint8_t code) { return {play_action_t::game_key, code}; }
constexpr std::uint8_t LEFT = 0x11, UP = 0x39, DOWN = 0x38;
constexpr play_input_t PAUSE = {play_action_t::pause, 0};
constexpr play_input_t STEP = {play_action_t::step, 0};
constexpr play_input_t SLOW = {play_action_t::slow_motion, 0};

TEST(Stepping, SlowMotionAndStepsReplayToTheSameFrames)
{
    auto s = std::make_unique<play_session_t>();
    auto st = std::make_unique<beam_stepper_t>();
    st->ticks_per_second = 5000; // 100 ticks in a pass of 20 ms: a frame in about 5
    game_setup_t setup;
    setup.level = 2;
    session_start(s.get(), setup);
    std::map<int, std::vector<play_input_t>> plan = {
        {1, {SLOW}},        {3, {key(LEFT)}}, // in slow motion: the module takes it after frame 1
        {20, {PAUSE}},      {21, {STEP, STEP, STEP}},
        {22, {key(UP)}},                  // paused: dropped
        {23, {PAUSE}},      {40, {SLOW}}, // the frame is finished, then normal pace
        {41, {key(DOWN)}},  {60, {STEP}},
        {61, {STEP, STEP}}, {62, {SLOW, PAUSE}}, // slow motion from the middle of a stepped frame
        {90, {SLOW}},       {91, {key(LEFT)}},
    };
    std::map<std::int64_t, pixels_t> shown; // by frame, the glow once it ended
    for (int pass = 1; pass <= 150; ++pass) {
        for (const play_input_t &in : plan[pass]) {
            if (in.action == play_action_t::step)
                stepper_step(st.get(), s.get());
            else if (in.action == play_action_t::slow_motion)
                stepper_toggle_slow(st.get());
            else
                session_input(s.get(), in);
        }
        const std::int64_t before = s->drawn;
        if (!stepper_run(st.get(), s.get(), std::int64_t{20000} * pass))
            session_step(s.get());
        ASSERT_LE(s->drawn, before + 1) << "pass " << pass;
        if (s->drawn != before)
            shown[s->drawn] = pixels_t(s->glow.begin(), s->glow.end());
    }
    // Passes 2 to 40 are slow and paused for a few, 41 to 59 normal, ...
    ASSERT_GT(s->drawn, 80);
    ASSERT_EQ(s->recording.presses.size(), 3u);
    EXPECT_EQ(s->recording.presses[0].frame, 1);
    EXPECT_EQ(s->recording.presses[0].key, LEFT);

    key_script_t script;
    std::string error;
    ASSERT_TRUE(parse_key_script(format_key_script(s->recording), "recording", &script, &error));
    scripted_run_t run;
    run.setup = settle_setup({}, script.settings, game_setup_t{});
    run.keys = script;
    const auto heard = std::make_unique<heard_frame_t>();
    run_start(&run);
    for (const auto &[n, pixels] : shown) {
        run_to_frame(&run, n);
        ASSERT_TRUE(heard->pixels() == pixels) << "frame " << n;
    }
}

// After a stall (a dragged window, a suspended process) slow motion goes on
// at its pace: the beam does not race through the time it missed.
TEST(Stepping, SlowMotionDoesNotBurstAfterAStall)
{
    auto s = std::make_unique<play_session_t>();
    auto st = std::make_unique<beam_stepper_t>();
    st->ticks_per_second = 1000;
    session_start(s.get(), game_setup_t{});
    stepper_toggle_slow(st.get());
    for (const std::int64_t now_us : {0, 20000, 60000000, 60020000})
        stepper_run(st.get(), s.get(), now_us);
    EXPECT_EQ(s->drawn, 0);
    EXPECT_LE(st->shown, 20u + 100u + 20u); // at most 100 ms of ticks for the stall
}

TEST(Stepping, SlowMotionFromTheCommandLine)
{
    scratch_dir_t dir;
    // Started in slow motion, the scripted game ends on pc-snake's frame.
    const run_t r = run_program(SNAKE_PLAY_BIN, "--sim --look exact --persistence 0 --keys builtin "
                                                "--frames 3 --fps 0 --slow 100000 --screenshot " +
                                                    (dir / "s.png"));
    ASSERT_EQ(r.status, 0) << r.err;
    const run_t want = run_program(PC_SNAKE_BIN, "1 3");
    EXPECT_TRUE(same_image("slow_motion_frame3", decode_png(read_file(dir / "s.png")),
                           decode_ppm(want.out)));

    const run_t zero =
        run_program(SNAKE_PLAY_BIN, "--slow 0 --frames 1 --screenshot " + (dir / "z.png"));
    EXPECT_EQ(zero.status, 1);
    EXPECT_NE(zero.err.find("--slow"), std::string::npos) << zero.err;
}

} // namespace
