// Frame pacing on an explicit clock, where the picture goes in a window,
// and the keyboard's keys with the one-key-per-frame queue.
#include <gtest/gtest.h>

#include <SDL_keycode.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

#include "host/keys/key_script.h"
#include "host/play/display_fit.h"
#include "host/play/frame_pacer.h"
#include "host/play/overlay_text.h"
#include "host/play/play_keys.h"

namespace {

TEST(FramePacer, FiftyFramesASecondWithoutBurstsAfterAStall)
{
    frame_pacer_t p = pacer_for_fps(50);
    EXPECT_EQ(pacer_wait_us(p, 1000), 0); // the first frame is due at once
    pacer_frame_started(&p, 1000);
    EXPECT_EQ(pacer_wait_us(p, 15000), 6000);
    // A late frame keeps the rhythm: the next is due 20 ms after the late one was.
    pacer_frame_started(&p, 25000);
    EXPECT_EQ(pacer_wait_us(p, 25000), 16000);
    // After a second's stall the pace starts anew instead of making up 50 frames.
    pacer_frame_started(&p, 1041000);
    EXPECT_EQ(pacer_wait_us(p, 1041000), 20000);
    // A hitch of three frames, within the bound, is made up: the frames due
    // meanwhile come at once, then the rhythm goes on where it was.
    pacer_frame_started(&p, 1121000); // due at 1061000
    for (int missed = 0; missed < 3; ++missed) {
        EXPECT_EQ(pacer_wait_us(p, 1121000), 0) << missed;
        pacer_frame_started(&p, 1121000);
    }
    EXPECT_EQ(pacer_wait_us(p, 1121000), 20000);

    frame_pacer_t fast = pacer_for_fps(0); // unthrottled: always due
    pacer_frame_started(&fast, 5);
    EXPECT_EQ(pacer_wait_us(fast, 5), 0);
}

TEST(DisplayFit, WholeStepsCentredOrFilled)
{
    struct fit_case_t {
        int w, h;
        bool fill;
        display_rect_t want;
    };
    const fit_case_t cases[] = {
        {768, 768, false, {0, 0, 768, 768}},    {1000, 800, false, {116, 16, 768, 768}},
        {800, 600, false, {144, 44, 512, 512}}, {800, 600, true, {100, 0, 600, 600}},
        {200, 300, false, {0, 50, 200, 200}}, // smaller than the picture: shrunk to fit
        {256, 256, false, {0, 0, 256, 256}},
    };
    for (const fit_case_t &c : cases) {
        const display_rect_t r = display_fit(c.w, c.h, 256, c.fill);
        EXPECT_EQ(std::memcmp(&r, &c.want, sizeof r), 0)
            << c.w << "x" << c.h << ": " << r.x << " " << r.y << " " << r.w << " " << r.h;
    }
}

std::uint8_t code_of(const char *name)
{
    for (const key_name_t &k : KEY_NAMES)
        if (std::strcmp(k.name, name) == 0)
            return k.key;
    return 0;
}

// README's keys: steering and pace keys pressed in one frame reach the module
// one a frame, in the order pressed, as the key script names them; the
// others are the player's own; a storm of presses keeps only the first.
TEST(PlayKeys, KeysReachTheModuleOneAFrameAsTheirNamesSay)
{
    const std::pair<std::int32_t, const char *> game_keys[] = {
        {SDLK_LEFT, "left"},   {SDLK_d, "right"},       {SDLK_UP, "up"},       {SDLK_s, "down"},
        {SDLK_a, "left"},      {SDLK_RIGHT, "right"},   {SDLK_w, "up"},        {SDLK_DOWN, "down"},
        {SDLK_PLUS, "faster"}, {SDLK_EQUALS, "faster"}, {SDLK_MINUS, "slower"}};
    key_queue_t q;
    for (const auto &[sdl, name] : game_keys) {
        const play_input_t in = map_key(sdl);
        EXPECT_EQ(in.action, play_action_t::game_key) << name;
        EXPECT_TRUE(key_queue_push(&q, in.value));
    }
    for (const auto &[sdl, name] : game_keys)
        EXPECT_EQ(key_queue_take(&q), code_of(name)) << name;
    EXPECT_EQ(key_queue_take(&q), 0);

    const std::pair<std::int32_t, play_input_t> own[] = {
        {SDLK_4, {play_action_t::new_game, 4}},  {SDLK_RETURN, {play_action_t::new_game, 0}},
        {SDLK_SPACE, {play_action_t::pause, 0}}, {SDLK_F12, {play_action_t::screenshot, 0}},
        {SDLK_ESCAPE, {play_action_t::quit, 0}}, {SDLK_q, {play_action_t::none, 0}}};
    for (const auto &[sdl, want] : own) {
        EXPECT_EQ(map_key(sdl).action, want.action) << sdl;
        EXPECT_EQ(map_key(sdl).value, want.value) << sdl;
    }

    for (std::size_t i = 0; i < 1000; ++i)
        EXPECT_EQ(key_queue_push(&q, static_cast<std::uint8_t>(1 + i % 200)), i < KEY_QUEUE_LIMIT);
    for (std::size_t i = 0; i < KEY_QUEUE_LIMIT; ++i)
        ASSERT_EQ(key_queue_take(&q), 1 + i % 200);
    EXPECT_EQ(key_queue_take(&q), 0);
}

TEST(OverlayText, LinesAreCentredAndStackDownwards)
{
    auto one = std::make_unique<overlay_t>();
    auto two = std::make_unique<overlay_t>();
    one->fill(0);
    two->fill(0);
    overlay_centred(*one, "Pause", 150, 3);
    overlay_centred(*two, "Pause\nPause", 150, 3);
    int min_x = 256, max_x = -1;
    for (int x = 0; x < 256; ++x) {
        for (int y = 0; y < 256; ++y) {
            const bool lit = (*one)[x * 256 + y] != 0;
            if (lit) {
                min_x = std::min(min_x, x);
                max_x = std::max(max_x, x);
            }
            // The second line is the first moved down by 8 * size + 3.
            const bool above_lit = y + 27 < 256 && (*one)[x * 256 + y + 27] != 0;
            ASSERT_EQ((*two)[x * 256 + y] != 0, lit || above_lit) << x << " " << y;
        }
    }
    ASSERT_GE(max_x, 0);
    // Centred: as much room left as right, give or take the odd pixel.
    EXPECT_LE(std::abs(min_x + max_x - 255), 1) << min_x << " " << max_x;
    EXPECT_EQ(max_x - min_x + 1, text_width("Pause", 3));
    EXPECT_EQ(text_width("", 1), 0);
}

} // namespace
