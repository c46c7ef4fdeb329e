// The phosphor's light as physics: every tick's energy is kept whole, the
// light fades with the half-life asked for, a point lit every frame comes
// to a steady glow, and a dark screen stays black.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "host/image/screen_color.h"
#include "host/tube/tube.h"

namespace {

beam_tick_t dark(std::int64_t frame, int tick)
{
    beam_tick_t t{};
    t.frame = frame;
    t.tick = static_cast<std::uint16_t>(tick);
    t.pass = beam_pass_t::texts;
    t.state = 0xF9;
    return t;
}

beam_tick_t lit(std::int64_t frame, int tick, int x, int y)
{
    beam_tick_t t = dark(frame, tick);
    t.lit = true;
    t.x = static_cast<std::uint8_t>(x);
    t.y = static_cast<std::uint8_t>(y);
    return t;
}

// A wall tick: the beam moves from (fx, fy) to (x, y) in it.
beam_tick_t moved(std::int64_t frame, int tick, int fx, int fy, int x, int y)
{
    beam_tick_t t = lit(frame, tick, x, y);
    t.pass = beam_pass_t::walls;
    t.joined = true;
    t.from_x = static_cast<std::uint8_t>(fx);
    t.from_y = static_cast<std::uint8_t>(fy);
    return t;
}

tube_settings_t settings(int size, double focus, double persistence_ms)
{
    tube_settings_t s;
    s.size = size;
    s.focus = focus;
    s.persistence_ms = persistence_ms;
    return s;
}

// A frame of `ticks` ticks whose only lit one, if any, is the point (x, y).
void frame_with_point(tube_t &tube, std::int64_t frame, int ticks, int x, int y, bool lit_it)
{
    tube.begin_frame();
    tube.hear(lit_it ? lit(frame, 1, x, y) : dark(frame, 1));
    tube.hear(dark(frame, ticks));
    tube.end_frame(ticks);
}

// The energy of a first frame is its lit ticks' energy, wherever they fall:
// the middle, the corners and sides of the screen (part of each spot falls
// outside the picture), and lines along the edges and across the screen.
TEST(TubeLight, EveryTicksEnergyIsKept)
{
    const std::vector<beam_tick_t> ticks = {
        lit(1, 1, 128, 128),
        lit(1, 2, 0, 0),
        lit(1, 3, 255, 255),
        lit(1, 4, 0, 200),
        lit(1, 5, 255, 3),
        dark(1, 6),
        moved(1, 7, 0, 0, 0, 4),
        moved(1, 8, 0, 4, 4, 4),
        moved(1, 9, 255, 255, 0, 255),
        moved(1, 10, 10, 90, 200, 90),
        moved(1, 11, 7, 7, 7, 7),
        lit(1, 12, 128, 128),
    };
    const double lit_ticks = 11;
    for (const int size : {256, 300, 1024}) {
        for (const double focus : {TUBE_FOCUS_MIN, TUBE_FOCUS_DEFAULT, TUBE_FOCUS_MAX}) {
            tube_t tube(settings(size, focus, 100.0));
            tube.begin_frame();
            for (const beam_tick_t &t : ticks)
                tube.hear(t);
            EXPECT_NEAR(tube.light().energy(), lit_ticks * TUBE_TICK_ENERGY, 1e-4 * lit_ticks)
                << "size " << size << ", focus " << focus;
        }
    }
}

// The light at a pixel, in ticks per square point.
double light_at(const tube_t &tube, int i, int j)
{
    return double{tube.light().row(j)[i]} * tube.light().stored_scale();
}

// After t ms the light is 2^(-t / persistence) of what it was, whether a
// frame lasts its ticks or 20 ms, over 25 half-lives: past the point where
// the one decay factor is folded into the light, and short of where the
// faint tails of the spot are let go as invisible.
TEST(TubeLight, FadesWithTheHalfLifeAsked)
{
    struct case_t {
        double persistence_ms;
        bool fixed_frame;
        int frame_ticks;
    };
    const case_t cases[] = {{100.0, false, 700},
                            {37.0, false, 512},
                            {5.0, false, 300},
                            {100.0, true, 700},
                            {1000.0, true, 400}};
    const int x = 90, y = 160; // at 256 pixels, pixel (90, 255 - 160)
    for (const case_t &c : cases) {
        tube_settings_t s = settings(256, TUBE_FOCUS_DEFAULT, c.persistence_ms);
        s.fixed_frame = c.fixed_frame;
        tube_t tube(s);
        const double frame_ms =
            c.fixed_frame ? FIXED_FRAME_MS : c.frame_ticks * 1000.0 / s.tick_rate;
        tube.begin_frame();
        for (int k = 1; k <= 64; ++k) // bright enough to measure after 25 half-lives
            tube.hear(lit(1, k, x, y));
        tube.hear(dark(1, c.frame_ticks));
        tube.end_frame(c.frame_ticks);
        const double start = light_at(tube, x, 255 - y);
        const int frames = static_cast<int>(25 * c.persistence_ms / frame_ms);
        for (int n = 1; n <= frames; ++n) {
            frame_with_point(tube, 1 + n, c.frame_ticks, 0, 0, false);
            if (n % 7 != 0 && n != frames)
                continue;
            const double now = light_at(tube, x, 255 - y);
            ASSERT_GT(now, 0.0) << c.persistence_ms << " ms, frame " << n;
            // The half-life that this much fading in this much time means.
            const double half_life = n * frame_ms / std::log2(start / now);
            ASSERT_NEAR(half_life, c.persistence_ms, 0.01 * c.persistence_ms)
                << c.persistence_ms << " ms, frame " << n;
        }
    }
}

// A point lit in every frame gives off one frame's energy per frame once
// the stored light has built up, so a still picture looks the same with
// any persistence; and its picture stops changing.
TEST(TubeLight, PointLitEveryFrameComesToASteadyGlow)
{
    for (const double persistence : {0.0, 20.0, 100.0, 1000.0}) {
        tube_t tube(settings(256, TUBE_FOCUS_DEFAULT, persistence));
        // 5.6 ms frames: 2000 of them are 11 s, at least 11 half-lives.
        for (int n = 1; n <= 2000; ++n)
            frame_with_point(tube, n, 560, 40, 200, true);
        EXPECT_NEAR(tube.shown_energy(), TUBE_TICK_ENERGY, 1e-3) << persistence << " ms";
        const rgb_image_t before = tube.picture();
        frame_with_point(tube, 2001, 560, 40, 200, true);
        EXPECT_EQ(tube.picture(), before) << persistence << " ms";
    }
}

bool black_on_screen(const rgb_image_t &image)
{
    const int size = image.width;
    for (int j = 0; j < size; ++j)
        for (int i = 0; i < size; ++i) {
            const std::uint8_t *p = &image.rgb[3 * (std::size_t(j) * size + i)];
            const bool surround =
                p[0] == SCREEN_OUTSIDE[0] && p[1] == SCREEN_OUTSIDE[1] && p[2] == SCREEN_OUTSIDE[2];
            if (!surround && (p[0] | p[1] | p[2]) != 0)
                return false;
        }
    return true;
}

// Nothing lit shows nothing; what was lit fades to exactly nothing (no light
// left at a low step, none below zero, no NaN) and the screen is black
// again; with no persistence, at once.
TEST(TubeLight, DarkScreenStaysBlack)
{
    for (const double persistence : {0.0, 10.0, 100.0}) {
        tube_t tube(settings(256, TUBE_FOCUS_DEFAULT, persistence));
        frame_with_point(tube, 1, 500, 0, 0, false);
        EXPECT_EQ(tube.light().energy(), 0.0);
        EXPECT_TRUE(black_on_screen(tube.picture())) << persistence;

        tube.begin_frame();
        for (int k = 0; k < 50; ++k)
            tube.hear(lit(2, k + 1, 100 + k, 100)); // a bright stroke
        tube.end_frame(50);
        double last = tube.light().energy();
        int n = 3;
        for (; n < 100000 && last > 0.0; ++n) {
            frame_with_point(tube, n, 500, 0, 0, false);
            const double now = tube.light().energy();
            ASSERT_FALSE(std::isnan(now));
            ASSERT_LT(now, last) << "frame " << n; // it never stalls
            ASSERT_GE(now, 0.0);
            last = now;
        }
        EXPECT_EQ(last, 0.0) << persistence;
        if (persistence == 0.0) {
            EXPECT_EQ(n, 4); // the first frame after the stroke is dark
        }
        EXPECT_TRUE(black_on_screen(tube.picture())) << persistence;
    }
}

} // namespace
