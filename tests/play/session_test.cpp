// A live session without a window: inputs as the keyboard would send them,
// frames as the driver asks for them, and the recording replayed through the
// scripted run that snake-render uses.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "host/keys/game_settings.h"
#include "host/play/play_picture.h"
#include "host/play/play_session.h"
#include "host/sim/scripted_run.h"
#include "host/tube/tube_settings.h"
#include "parith/parith15.h"
#include "tests/support/heard_frame.h"
#include "tests/support/image_compare.h"

namespace {

constexpr std::uint8_t LEFT = KEY_LEFT, RIGHT = KEY_RIGHT, UP = KEY_UP, DOWN = KEY_DOWN;
constexpr std::uint8_t FASTER = KEY_FASTER, SLOWER = KEY_SLOWER;

using picture_t = std::vector<double>;

play_input_t key(std::uint8_t code) { return {play_action_t::game_key, code}; }
constexpr play_input_t PAUSE = {play_action_t::pause, 0};

// Inputs that arrive before the driver asks for its n-th frame (n counts from 1).
using input_plan_t = std::map<int, std::vector<play_input_t>>;

// Steps the session `steps` times, feeding the planned inputs, and returns
// the glow after each frame drawn, by the game's frame number.
std::map<std::int64_t, picture_t> play(play_session_t *s, const input_plan_t &plan, int steps)
{
    std::map<std::int64_t, picture_t> shown;
    for (int n = 1; n <= steps; ++n) {
        if (const auto it = plan.find(n); it != plan.end())
            for (const play_input_t &in : it->second)
                session_input(s, in);
        if (session_step(s))
            shown[s->drawn] = picture_t(s->glow.begin(), s->glow.end());
    }
    return shown;
}

// The frames a key script gives on the scripted run, as snake-render runs it.
picture_t replayed_frame(scripted_run_t *run, std::int64_t n)
{
    const auto heard = std::make_unique<heard_frame_t>();
    EXPECT_FALSE(beam_faulted(run_to_frame(run, n)));
    return heard->pixels();
}

// The recording through its text form, replayed; every frame the session
// showed must come out the same.
void expect_replay_matches(const play_session_t &s, const std::map<std::int64_t, picture_t> &shown)
{
    key_script_t script;
    std::string error;
    ASSERT_TRUE(parse_key_script(format_key_script(s.recording), "recording", &script, &error))
        << error;
    scripted_run_t run;
    run.setup = settle_setup({}, script.settings, game_setup_t{});
    run.keys = script;
    run_start(&run);
    for (const auto &[n, picture] : shown) {
        if (n == 0)
            continue;
        const picture_t again = replayed_frame(&run, n);
        ASSERT_TRUE(
            same_afterglow("replay_frame" + std::to_string(n), picture.data(), again.data()));
    }
}

TEST(PlaySession, RecordedGameReplaysToTheFramesShown)
{
    auto s = std::make_unique<play_session_t>();
    game_setup_t setup;
    setup.level = 2;
    setup.seed = 1234;
    setup.device_pace = true; // speed 1, growth 200 from the level table
    session_start(s.get(), setup);

    const std::vector<play_input_t> storm = {key(DOWN),   key(DOWN),   key(RIGHT), key(FASTER),
                                             key(FASTER), key(SLOWER), key(UP),    key(LEFT)};
    const input_plan_t plan = {
        {5, {key(LEFT), key(UP)}}, // two in one frame: the second a frame later
        {30, storm},
        {60, {PAUSE}},
        {63, {key(RIGHT), PAUSE}}, // pressed while paused: dropped
        {70, {key(DOWN)}},
        {120, {key(RIGHT)}},
        {150, {key(0x77)}}, // not the module's: it queues the heading
    };
    const auto shown = play(s.get(), plan, 400);

    EXPECT_EQ(s->drawn, 400 - 3); // three steps while paused drew nothing
    const std::vector<key_press_t> want_first = {{5, LEFT}, {6, UP}};
    ASSERT_GE(s->recording.presses.size(), 2 + storm.size());
    for (std::size_t i = 0; i < 2; ++i)
        EXPECT_EQ(s->recording.presses[i].frame, want_first[i].frame);
    for (std::size_t i = 0; i < storm.size(); ++i) {
        const key_press_t &p = s->recording.presses[2 + i];
        EXPECT_EQ(p.frame, 30 + static_cast<std::int64_t>(i)); // one per frame, in order
        EXPECT_EQ(p.key, storm[i].value);
    }
    for (const key_press_t &p : s->recording.presses)
        EXPECT_NE(p.frame, 60); // the key pressed while paused was dropped
    const game_settings_t &named = s->recording.settings;
    ASSERT_TRUE(named.level && named.seed);
    EXPECT_EQ(*named.level, 2);
    EXPECT_EQ(*named.seed, 1234);
    EXPECT_TRUE(named.device);
    expect_replay_matches(*s, shown);
}

TEST(PlaySession, NewGameTakesTheGeneratorsStateAndItsLevel)
{
    auto s = std::make_unique<play_session_t>();
    game_setup_t setup;
    setup.level = 1; // the simulator's pace
    session_start(s.get(), setup);
    play(s.get(), {{3, {key(LEFT)}}}, 50);

    const std::uint16_t state = seed;
    ASSERT_NE(state, parith::INITIAL_SEED); // the game has drawn random numbers
    session_input(s.get(), {play_action_t::new_game, 3});
    EXPECT_EQ(s->drawn, 0);
    EXPECT_TRUE(s->recording.presses.empty());
    EXPECT_EQ(*s->recording.settings.seed, state);
    EXPECT_EQ(*s->recording.settings.level, 3);
    EXPECT_EQ(*s->recording.settings.speed, SIM_SPEED);
    EXPECT_EQ(*s->recording.settings.growth, SIM_GROWTH);

    const auto shown = play(s.get(), {{10, {key(UP), key(RIGHT)}}, {90, {key(DOWN)}}}, 200);
    expect_replay_matches(*s, shown);

    session_input(s.get(), {play_action_t::new_game, 0}); // Enter: the same level
    EXPECT_EQ(*s->recording.settings.level, 3);
}

TEST(PlaySession, PauseHoldsTheFrameAndTheGlow)
{
    auto s = std::make_unique<play_session_t>();
    s->decay = decay_after(20.0, 80.0);
    session_start(s.get(), game_setup_t{});
    play(s.get(), {}, 10);
    session_input(s.get(), PAUSE);
    const glow_t held = s->glow;
    EXPECT_FALSE(session_step(s.get()));
    EXPECT_EQ(s->drawn, 10);
    EXPECT_EQ(s->glow, held);
    // While the game runs, the frame just drawn is always shown in full.
    session_input(s.get(), PAUSE);
    ASSERT_TRUE(session_step(s.get()));
    for (std::size_t i = 0; i < s->glow.size(); ++i)
        ASSERT_GE(s->glow[i], s->frame.pixel[i]);
}

// A body of 25 runs of 100 steps needs 2500 ticks: more than a frame may send.
void lengthen_body(snake_t *s)
{
    s->ring_head = 0;
    s->ring_len = SNAKE_RING_SIZE;
    for (std::uint8_t i = 0; i < SNAKE_RING_SIZE; ++i)
        s->ring[i] = body_run_t{static_cast<std::uint8_t>(i % 2 == 0 ? 3 : 2), 100};
}

TEST(PlaySession, FrameOverTheBudgetStopsTheGameThere)
{
    auto s = std::make_unique<play_session_t>();
    session_start(s.get(), game_setup_t{});
    play(s.get(), {{2, {key(LEFT)}}}, 3);
    const rgb_image_t running = play_picture(*s);
    EXPECT_TRUE(std::none_of(running.rgb.begin(), running.rgb.end(),
                             [](std::uint8_t c) { return c == MESSAGE_COLOR[0]; }));

    lengthen_body(&s->game);
    EXPECT_TRUE(session_step(s.get())); // drawn as far as it got
    ASSERT_TRUE(s->stopped);
    EXPECT_EQ(s->stopped->kind, beam_fault_kind_t::tick_limit);
    EXPECT_EQ(s->stopped->frame, 4);
    EXPECT_EQ(s->stopped->pass, beam_pass_t::body);
    EXPECT_EQ(s->stopped->tick, BEAM_TICK_LIMIT + 1);
    EXPECT_EQ(stop_message(*s->stopped).rfind("frame 4, pass body:\n", 0), 0u);

    // Nothing moves on; the recording holds the frames before it.
    const glow_t at_stop = s->glow;
    EXPECT_FALSE(session_step(s.get()));
    session_input(s.get(), key(UP));
    EXPECT_EQ(s->drawn, 3);
    EXPECT_EQ(s->glow, at_stop);
    ASSERT_EQ(s->recording.presses.size(), 1u);
    EXPECT_EQ(s->recording.presses[0].frame, 2);
    // The message is on the screen, in its own colour.
    const rgb_image_t picture = play_picture(*s);
    bool message = false;
    for (std::size_t i = 0; i + 2 < picture.rgb.size(); i += 3)
        message |= picture.rgb[i] == MESSAGE_COLOR[0] && picture.rgb[i + 1] == MESSAGE_COLOR[1];
    EXPECT_TRUE(message);

    session_input(s.get(), {play_action_t::new_game, 0}); // the player goes on
    EXPECT_FALSE(s->stopped);
    EXPECT_TRUE(session_step(s.get()));
}

} // namespace
