// snake-render --wav run as a user runs it: the rates and channels it
// accepts, the faults it refuses without leaving a file behind, and what
// wav-xy draws of its samples.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "host/audio/wav_file.h"
#include "host/image/screen_color.h"
#include "host/sim/afterglow.h"
#include "tests/support/image_decode.h"
#include "tests/support/run_program.h"

namespace {

run_t render(const std::string &tail) { return run_program(SNAKE_RENDER_BIN, tail); }

TEST(SnakeRenderWav, RatesAndChannelsAsAsked)
{
    // Frame 1 of level 1 is 368 ticks; at 100000 ticks a second it lasts
    // 3.68 ms, and ceil(368 * rate / tick_rate) samples.
    struct case_t {
        std::string options;
        int rate, channels, samples, bits;
    };
    const case_t cases[] = {
        {"", 192000, 2, 707, 32},
        {"--rate 44100", 44100, 2, 163, 32},
        {"--rate 48000 --z", 48000, 3, 177, 32},
        {"--rate 96000 --swap", 96000, 2, 354, 32},
        {"--rate 8000", 8000, 2, 30, 32},
        {"--rate 768000 --wav-format pcm16", 768000, 2, 2827, 16},
        {"--tick-rate 50000 --wav-format pcm24 --gain 0.5", 192000, 2, 1414, 24},
        {"--seconds 0.25 --rate 8000", 8000, 2, 2000, 32},
        {"--gain 1e-320", 192000, 2, 707, 32}, // a subnormal gain is the tiny gain it is
    };
    scratch_dir_t dir;
    for (const case_t &c : cases) {
        SCOPED_TRACE(c.options);
        const run_t r = render("1 1 --wav " + (dir / "a.wav") + " " + c.options);
        ASSERT_EQ(r.status, 0) << r.err;
        wav_data_t wav;
        std::string error;
        const std::vector<std::uint8_t> bytes = read_file(dir / "a.wav");
        ASSERT_TRUE(read_wav(bytes, &wav, &error)) << error;
        EXPECT_EQ(bytes[34] | bytes[35] << 8, c.bits); // the fmt chunk's bits per sample
        EXPECT_EQ(wav.rate, c.rate);
        EXPECT_EQ(wav.channels, c.channels);
        EXPECT_EQ(wav.values.size(), static_cast<std::size_t>(c.samples * c.channels));
    }
}

TEST(SnakeRenderWav, FaultsAreReportedAndLeaveNoFile)
{
    scratch_dir_t dir;
    const std::string wav = " --wav " + (dir / "x.wav");
    struct case_t {
        std::string args;
        int status;
        std::string message; // stderr contains it
    };
    const case_t cases[] = {
        {"1 1-10/2" + wav, 1, "no /STEP"},
        {"1 1-10" + wav + " --seconds 2", 1, "--seconds repeats one frame"},
        {"1 5" + wav + " --seconds 0", 1, "--seconds"},
        {"1 5" + wav + " --rate 0", 1, "--rate"},
        {"1 5" + wav + " --rate 7999", 1, "--rate"},
        {"1 5" + wav + " --rate 768001", 1, "--rate"},
        {"1 5" + wav + " --tick-rate 0", 1, "--tick-rate"},
        {"1 5" + wav + " --gain 0", 1,
         "--gain: '0' is out of range; give a number above 0, up to 1"},
        {"1 5" + wav + " --gain 1e-400", 1, "--gain: '1e-400' is too close to 0 to be held"},
        {"1 5" + wav + " --rate 1e5", 1, "--rate: '1e5' is not a whole number; give a whole"},
        {"1 5" + wav + " --gain 1.5", 1, "--gain"},
        {"1 5" + wav + " --wav-format pcm8", 1, "--wav-format"},
        {"1 5 --rate 48000 --gif " + (dir / "x.gif"), 1, "--rate goes with --wav"},
        {"1 5 --seconds 1 --gif " + (dir / "x.gif"), 1, "--seconds goes with --wav"},
        {"1 5 --wav " + (dir / "no/such/x.wav"), 1, dir / "no/such/x.wav"},
        {"1 5 --wav /dev/full/x.wav", 1, "/dev/full/x.wav: Not a directory"},
        {"1 5 --wav /dev/full", 4, "cannot write /dev/full: No space left on device"},
    };
    for (const case_t &c : cases) {
        const run_t r = render(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path)) << "a failed run left files behind";
}

TEST(WavXy, TheScopeDrawsTheModulesPointsUprightWithoutTheFilledWalls)
{
    // At 192000 samples a second each of 100000 ticks is sampled, so every
    // point the module lights is drawn; the points the display fills in
    // between wall corners are not: a DAC's beam jumps there.
    scratch_dir_t dir;
    ASSERT_EQ(render("3 300 --wav " + (dir / "a.wav")).status, 0);
    ASSERT_EQ(run_program(WAV_XY_BIN, (dir / "a.wav") + " " + (dir / "a.png")).status, 0);
    const rgb_image_t plot = decode_png(read_file(dir / "a.png"));
    const rgb_image_t frame = decode_ppm(run_program(PC_SNAKE_BIN, "3 300").out);
    ASSERT_EQ(plot.rgb.size(), frame.rgb.size());
    const auto pixel = [](const rgb_image_t &image, std::size_t i) {
        return screen_rgb_t{image.rgb[3 * i], image.rgb[3 * i + 1], image.rgb[3 * i + 2]};
    };
    int points = 0, filled = 0;
    for (std::size_t i = 0; i < plot.rgb.size() / 3; ++i) {
        const screen_rgb_t want = pixel(frame, i);
        const screen_rgb_t got = pixel(plot, i);
        const bool drawn = got != beam_color(0.0) && got != SCREEN_OUTSIDE;
        const std::string at =
            "x " + std::to_string(i % 256) + ", y " + std::to_string(255 - i / 256);
        if (want == beam_color(BEAM_WEIGHT_POINT)) {
            EXPECT_TRUE(drawn) << at;
            ++points;
        } else if (want == beam_color(BEAM_WEIGHT_FILLED)) {
            EXPECT_FALSE(drawn) << at;
            ++filled;
        } else if (want == beam_color(0.0)) {
            EXPECT_FALSE(drawn) << at;
        }
    }
    EXPECT_GT(points, 100);
    EXPECT_GT(filled, 100);
    // A file it cannot read is named with the system's reason.
    const run_t missing = run_program(WAV_XY_BIN, (dir / "none.wav") + " " + (dir / "b.png"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("none.wav: No such file or directory"), std::string::npos)
        << missing.err;
}

} // namespace
