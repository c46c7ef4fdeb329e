// snake-play --audio run headless on SDL's disk audio driver, which writes
// what reaches the device to a file at the device's pace: the scripted game's
// sound is snake-render's WAV of the same frames, sample for sample.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/audio/wav_file.h"
#include "tests/support/image_decode.h"
#include "tests/support/run_program.h"

namespace {

// Raw float samples as the disk driver wrote them, less the silence it
// writes before the sound starts and after it ends (whole samples of exact
// zeros: X and Y of the beam are never 0, which lies between two points).
std::vector<float> sound_of(const std::vector<std::uint8_t> &raw, int channels)
{
    std::vector<float> values(raw.size() / sizeof(float));
    std::memcpy(values.data(), raw.data(), values.size() * sizeof(float));
    const auto silent = [&](std::size_t sample) {
        for (int c = 0; c < channels; ++c)
            if (values[sample * channels + c] != 0.0f)
                return false;
        return true;
    };
    std::size_t first = 0;
    std::size_t end = values.size() / channels;
    while (first < end && silent(first))
        ++first;
    while (end > first && silent(end - 1))
        --end;
    return {values.begin() + static_cast<std::ptrdiff_t>(first * channels),
            values.begin() + static_cast<std::ptrdiff_t>(end * channels)};
}

TEST(SnakePlayAudio, TheSoundOfAScriptedGameIsSnakeRendersWav)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0); // CTest sets it; so does a run by hand
    scratch_dir_t dir;
    // Frames of a quarter second, so that a loaded machine keeps the queue
    // from running dry; the Z channel makes three.
    const std::string signal = " --rate 8000 --tick-rate 2000 --z";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", (dir / "device.raw").c_str(), 1);
    const run_t play =
        run_program(SNAKE_PLAY_BIN, "--audio --sim --keys builtin --level 3 --frames 12 "
                                    "--persistence 0" +
                                        signal);
    unsetenv("SDL_AUDIODRIVER");
    ASSERT_EQ(play.status, 0) << play.err;
    EXPECT_NE(play.err.find("beam audio on SDL's disk driver: 8000 Hz"), std::string::npos)
        << play.err;
    EXPECT_EQ(play.err.find("ran dry"), std::string::npos) << play.err;

    const run_t render =
        run_program(SNAKE_RENDER_BIN, "3 1-12 -q --wav " + (dir / "r.wav") + signal);
    ASSERT_EQ(render.status, 0) << render.err;
    wav_data_t wav;
    std::string error;
    ASSERT_TRUE(read_wav(read_file(dir / "r.wav"), &wav, &error)) << error;
    ASSERT_EQ(wav.channels, 3);
    const std::vector<float> heard = sound_of(read_file(dir / "device.raw"), 3);
    ASSERT_EQ(heard.size(), wav.values.size());
    EXPECT_TRUE(heard == wav.values);
}

TEST(SnakePlayAudio, NoSoundDeviceOrBadOptionsEndTheRun)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    const run_t none = run_program(SNAKE_PLAY_BIN, "--audio --frames 5");
    unsetenv("SDL_AUDIODRIVER");
    EXPECT_EQ(none.status, 5) << none.err;
    EXPECT_NE(none.err.find("snake-play: no sound device for --audio"), std::string::npos)
        << none.err;
    // SDL's own choice of driver: where there is no sound device, snake-play
    // says so in its one line, without alsa-lib's account of its search; a
    // machine with one plays.
    const run_t found = run_program(SNAKE_PLAY_BIN, "--audio --gain 0.01 --frames 3");
    EXPECT_TRUE(found.status == 5 || found.status == 0) << found.err;
    EXPECT_EQ(foreign_line(found.err, "snake-play: "), "");
    struct case_t {
        std::string args, message;
    };
    const case_t cases[] = {
        {"--audio --fps 30", "goes with no --fps"},
        {"--rate 48000", "--rate goes with --audio"},
        {"--audio --rate 0", "--rate"},
        {"--audio --gain 0", "--gain"},
    };
    for (const case_t &c : cases) {
        const run_t r = run_program(SNAKE_PLAY_BIN, c.args + " --frames 1");
        EXPECT_EQ(r.status, 1) << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
    }
}

} // namespace
