// Tube frames far into the game: the light learned from one period and
// leapt over whole periods is the light of playing every frame, in the
// tube alone and in snake-render's pictures, which play no more frames
// than the game's way into its cycle and one period.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/keys/stimuli.h"
#include "host/render/output_names.h"
#include "host/render/render.h"
#include "host/sim/scripted_run.h"
#include "host/tube/tube.h"
#include "tests/support/image_decode.h"
#include "tests/support/run_program.h"

namespace {

// A frame of made-up ticks: `lit` lit points along a row at height y, in a
// frame of `ticks` ticks.
void hear_frame(tube_t *tube, std::int64_t number, int lit, int y, int ticks)
{
    tube->begin_frame();
    for (int k = 0; k < lit; ++k) {
        beam_tick_t t{};
        t.frame = number;
        t.tick = static_cast<std::uint16_t>(k + 1);
        t.lit = true;
        t.x = static_cast<std::uint8_t>(40 + 9 * k);
        t.y = static_cast<std::uint8_t>(y);
        tube->hear(t);
    }
    tube->end_frame(ticks);
}

// Frame n of a game that wanders for its first 7 frames, then repeats
// every 5: frames of different lengths that light different rows.
void hear_game_frame(tube_t *tube, std::int64_t n)
{
    constexpr int lit[] = {3, 1, 5, 2, 4};
    constexpr int ticks[] = {300, 900, 450, 600, 1200};
    if (n <= 7) {
        hear_frame(tube, n, 6, 200, 256 + 100 * static_cast<int>(n));
        return;
    }
    const std::size_t phase = static_cast<std::size_t>(n % 5);
    hear_frame(tube, n, lit[phase], 60 + 30 * static_cast<int>(phase), ticks[phase]);
}

constexpr std::int64_t GAME_PERIOD = 5;

// The greatest difference of two lights, relative to the brightest.
double light_difference(const phosphor_t &a, const phosphor_t &b)
{
    double most = 0.0;
    double brightest = 0.0;
    for (int j = 0; j < a.size(); ++j)
        for (int i = 0; i < a.size(); ++i) {
            const double u = double{a.row(j)[i]} * a.stored_scale();
            const double v = double{b.row(j)[i]} * b.stored_scale();
            most = std::max(most, std::abs(u - v));
            brightest = std::max(brightest, v);
        }
    return most / brightest;
}

// The light after frame m, learned from the period after `base` and leapt
// to, is the light of every frame heard: with each of the frame timings,
// with and without a prefix, one period past the base and many.
TEST(TubeFar, LeapGivesTheLightOfEveryFrameHeard)
{
    struct case_t {
        double persistence_ms;
        bool fixed_frame;
        std::int64_t base;
        std::int64_t m;
    };
    const case_t cases[] = {
        {50.0, false, 8, 13},      // one period, no prefix
        {50.0, false, 9, 22},      // two periods and a prefix of 3
        {400.0, true, 12, 1000},   // many, prefix 3
        {10000.0, false, 8, 3004}, // hardly fading, prefix 1
        {3.0, false, 10, 499},     // fading within a frame
    };
    for (const case_t &c : cases) {
        tube_settings_t s;
        s.size = 256;
        s.persistence_ms = c.persistence_ms;
        s.fixed_frame = c.fixed_frame;
        tube_t played(s);
        tube_t leapt(s);
        for (std::int64_t n = 1; n <= c.m; ++n) {
            hear_game_frame(&played, n);
            if (n <= c.base + GAME_PERIOD)
                hear_game_frame(&leapt, n);
            if (n == c.base)
                leapt.begin_period(static_cast<int>((c.m - c.base) % GAME_PERIOD));
        }
        leapt.end_period();
        ASSERT_TRUE(leapt.period_learned());
        leapt.leap((c.m - c.base) / GAME_PERIOD, true);
        EXPECT_LT(light_difference(leapt.light(), played.light()), 1e-5)
            << c.persistence_ms << " ms, frame " << c.m;
        // Both go on alike: the frame after, and whole periods leapt to
        // without the prefix, the frames between then heard.
        hear_game_frame(&played, c.m + 1);
        hear_game_frame(&leapt, c.m + 1);
        EXPECT_LT(light_difference(leapt.light(), played.light()), 1e-5);
        const std::int64_t whole = (c.m + 1 - c.base) / GAME_PERIOD;
        leapt.leap(whole, false);
        for (std::int64_t n = c.base + whole * GAME_PERIOD + 1; n <= c.m + 1; ++n)
            hear_game_frame(&leapt, n);
        EXPECT_LT(light_difference(leapt.light(), played.light()), 1e-5);
    }
}

int max_abs_difference(const rgb_image_t &a, const rgb_image_t &b)
{
    EXPECT_EQ(a.rgb.size(), b.rgb.size());
    int most = 0;
    for (std::size_t i = 0; i < a.rgb.size() && i < b.rgb.size(); ++i)
        most = std::max(most, std::abs(int{a.rgb[i]} - int{b.rgb[i]}));
    return most;
}

// Counts the frames the tube hears only for their light.
struct light_frames_t {
    std::int64_t count = 0;
    static void on_begin(void *self, const beam_frame_t &frame)
    {
        if (frame.use == frame_use_t::light)
            ++static_cast<light_frames_t *>(self)->count;
    }
};

// The pictures of `frames`, each made with every frame before it heard.
std::vector<rgb_image_t> played_pictures(std::uint8_t level, const tube_settings_t &s,
                                         const std::vector<std::int64_t> &frames)
{
    tube_t tube(s);
    beam_listening_t listening(tube.listener());
    scripted_run_t run;
    run.setup.level = level;
    run.keys = builtin_key_script();
    run_start(&run);
    std::vector<rgb_image_t> pictures;
    for (std::int64_t n = 1; n <= frames.back(); ++n) {
        EXPECT_FALSE(beam_faulted(run_to_frame(&run, n, frame_use_t::light)));
        if (std::find(frames.begin(), frames.end(), n) != frames.end())
            pictures.push_back(tube.picture());
    }
    return pictures;
}

// snake-render's tube frames against the same frames with every frame
// before them played: within a step of 1 in every colour, whether it
// plays the frames' history or leaps over whole periods, where the history
// of old was cut short (frame 30000 at 10 s and a million ticks a second
// was 29 steps off) or too short for a bright picture (frame 2000 below was
// 10 steps off). Leaping, it plays no more than the frames into the cycle
// and one period, and less than a period for each frame written after.
TEST(TubeFar, FramesAreThoseOfPlayingEveryFrame)
{
    struct case_t {
        const char *name;
        std::uint8_t level;
        tube_settings_t tube;
        frame_range_t frames;
        bool leaps;
    };
    const auto settings = [](double persistence, int tick_rate, bool fixed, double brightness) {
        tube_settings_t s;
        s.size = 256;
        s.persistence_ms = persistence;
        s.tick_rate = tick_rate;
        s.fixed_frame = fixed;
        s.brightness = brightness;
        return s;
    };
    const case_t cases[] = {
        {"long persistence, fast ticks",
         3,
         settings(10000, 1000000, false, 1),
         {30000, 30000, 1},
         true},
        {"phases of the period", 1, settings(10000, 1000000, true, 1), {20000, 20600, 150}, true},
        {"one phase, two periods apart",
         2,
         settings(10000, 1000000, false, 1),
         {20000, 21024, 1024},
         true},
        {"frames in a row", 4, settings(3000, 100000, false, 1), {5000, 5003, 1}, true},
        {"bright, fading fast", 2, settings(1000, 100000, true, 100), {10000, 10000, 1}, true},
        {"bright, fixed frames", 3, settings(500, 100000, true, 30), {2000, 2000, 1}, false},
        {"defaults", 1, settings(100, 100000, false, 1), {3000, 3000, 1}, false},
    };
    for (const case_t &c : cases) {
        SCOPED_TRACE(c.name);
        scratch_dir_t dir;
        render_job_t job;
        job.setup.level = c.level;
        job.keys = builtin_key_script();
        job.frames = c.frames;
        job.picture.look = look_t::tube;
        job.picture.tube = c.tube;
        job.files.png_dir = dir.path;
        light_frames_t heard;
        render_end_t end;
        {
            beam_listening_t counting({&heard, nullptr, light_frames_t::on_begin, nullptr, true});
            end = render(job);
        }
        ASSERT_FALSE(beam_faulted(end.fault));
        ASSERT_EQ(end.write_error, "");

        std::vector<std::int64_t> numbers;
        for (std::int64_t n = c.frames.first; n <= c.frames.last; n += c.frames.step)
            numbers.push_back(n);
        const std::vector<rgb_image_t> played = played_pictures(c.level, c.tube, numbers);
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            const rgb_image_t made = decode_png(
                read_file(dir / frame_file_name(c.level, numbers[i], image_format_t::png)));
            EXPECT_LE(max_abs_difference(made, played[i]), 1) << "frame " << numbers[i];
        }

        scripted_run_t run;
        run.setup.level = c.level;
        run.keys = builtin_key_script();
        const run_cycle_t cycle = find_run_cycle(&run, c.frames.last);
        const std::int64_t into_cycle = earliest_cycle_since(&run, cycle) + 1;
        const std::int64_t history = tube_t::history_frames(c.tube);
        const std::int64_t most = c.leaps
                                      ? into_cycle + cycle.period +
                                            (std::int64_t(numbers.size()) - 1) * (cycle.period - 1)
                                      : history * std::int64_t(numbers.size());
        EXPECT_LE(heard.count, most);
        if (c.leaps) {
            EXPECT_LT(most, history) << "a row that the history would serve as well";
        }
    }
}

} // namespace
