// snake-render's tube look and video as a user meets them (their faults are
// snake_render_cli_test's): the video decodes (through FFmpeg's libraries,
// as a player reads it) to the frames, rate and size asked for and looks
// like the PNGs of the same frames, written into a file or into a pipe; a
// tube frame is the same alone as within a range; a tube GIF keeps to the
// phosphor's ramp.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/image_decode.h"
#include "tests/support/run_program.h"

#if PC_SNAKE_VIDEO
#include "tests/support/video_decode.h"
#endif

namespace {

run_t render(const std::string &tail) { return run_program(SNAKE_RENDER_BIN, tail); }

double mean_abs_difference(const rgb_image_t &a, const rgb_image_t &b)
{
    EXPECT_EQ(a.rgb.size(), b.rgb.size());
    if (a.rgb.size() != b.rgb.size() || a.rgb.empty())
        return 1e9;
    double sum = 0;
    for (std::size_t i = 0; i < a.rgb.size(); ++i)
        sum += std::abs(int{a.rgb[i]} - int{b.rgb[i]});
    return sum / static_cast<double>(a.rgb.size());
}

int max_abs_difference(const rgb_image_t &a, const rgb_image_t &b)
{
    int most = 0;
    for (std::size_t i = 0; i < a.rgb.size() && i < b.rgb.size(); ++i)
        most = std::max(most, std::abs(int{a.rgb[i]} - int{b.rgb[i]}));
    return most;
}

#if PC_SNAKE_VIDEO
// Lossy coding at the default quality keeps these pictures above 40 dB
// PSNR, an RMS error of 255 / 100 = 2.55; the mean absolute error is at
// most the RMS one. (yuv420p halves the colour's resolution, which costs
// most on the sharp single points of the exact look, and the screen is
// mostly black, which survives exactly.)
constexpr double VIDEO_MEAN_ERROR_MAX = 2.55;
#endif

TEST(SnakeRenderTube, VideoDecodesToTheFramesAsked)
{
#if !PC_SNAKE_VIDEO
    GTEST_SKIP() << "this build has no FFmpeg (libavcodec-dev libavformat-dev libswscale-dev "
                    "libavutil-dev), so no --video";
#else
    struct case_t {
        std::string look; // options of the look
        std::string file; // the video's name, and its quality
        std::string crf;
        std::string codec; // as FFmpeg names it
        int side;
        bool piped; // through a named pipe, which cannot be gone back into
        int vp9_q;  // VP9's q index of its plainest frames: libvpx's 4 a step of its 0 to 63
    };
    // --crf is H.264's scale, 0 to 51, onto VP9's 0 to 63: 33 is VP9's 40.76, so 41.
    const case_t cases[] = {
        {"--look tube --size 256", "tube.mp4", "", "h264", 256, false, -1},
        {"--look tube --size 320 --fixed-frame", "tube.webm", "--crf 33", "vp9", 320, false,
         4 * 41},
        {"--scale 2", "exact.mp4", "", "h264", 512, false, -1},
        {"--look tube --size 256", "piped.mp4", "", "h264", 256, true, -1},
        {"--scale 2", "piped.webm", "", "vp9", 512, true, -1},
    };
    for (const case_t &c : cases) {
        scratch_dir_t dir;
        const std::string video = dir / c.file;
        const std::string pipe = dir / ("pipe-" + c.file);
        std::future<std::string> piped;
        if (c.piped) {
            ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
            piped = std::async(std::launch::async, [pipe] { return read_text(pipe); });
        }
        const run_t r = render("3 281-340 -q --fps 25 " + c.look + " " + c.crf + " --video '" +
                               (c.piped ? pipe : video) + "'");
        if (c.piped) {
            ::close(::open(pipe.c_str(), O_WRONLY | O_NONBLOCK)); // a reader still waiting goes
            std::ofstream(video, std::ios::binary) << piped.get();
        }
        ASSERT_EQ(r.status, 0) << c.file << ": " << r.err;
        // Frame 308 (the crash at level 3) is the video's 28th.
        const video_stream_t stream = read_video(video, 25, 308 - 281);
        EXPECT_EQ(stream.codec, c.codec) << c.file;
        EXPECT_EQ(stream.width, c.side) << c.file;
        EXPECT_EQ(stream.height, c.side) << c.file;
        EXPECT_EQ(stream.pixel_format, "yuv420p") << c.file;
        EXPECT_EQ(stream.rate, "25/1") << c.file;
        EXPECT_EQ(stream.frames, 60) << c.file;
        // A key frame every two seconds, for seeking. (A fragmented MP4 has no
        // edit list to hide the encoder's two frames of delay: its times start at 2.)
        const std::int64_t delay = c.piped && c.file.ends_with(".mp4") ? 2 : 0;
        EXPECT_EQ(stream.key_frames, (std::vector<std::int64_t>{delay, 50 + delay})) << c.file;
        if (c.vp9_q >= 0) {
            EXPECT_EQ(stream.most_q, c.vp9_q) << c.file;
        }
        const std::string png = dir / "308.png";
        ASSERT_EQ(render("3 308 -q " + c.look + " -o '" + png + "'").status, 0);
        EXPECT_LT(mean_abs_difference(stream.picture, decode_png(read_file(png))),
                  VIDEO_MEAN_ERROR_MAX)
            << c.file;
    }
#endif
}

// A tube frame carries the fading light of the frames before it, so it is
// made the same way alone as within a range: frame 400 alone plays the
// frames before it unseen, and a range that starts long before has them too.
// Light older than the frames played alone has faded below what could
// change a colour by more than a step of 1.
TEST(SnakeRenderTube, FrameAloneIsTheFrameWithinARange)
{
    scratch_dir_t dir;
    for (const std::string timing : {"", " --fixed-frame"}) {
        const std::string base = " -q --look tube --size 256" + timing;
        const std::string tube = base + (timing.empty() ? "" : " --persistence 300");
        ASSERT_EQ(render("4 400" + tube + " -o '" + (dir / "alone.png") + "'").status, 0);
        ASSERT_EQ(render("4 100-400/100" + tube + " --png-dir '" + dir.path + "'").status, 0);
        ASSERT_EQ(
            render("4 400" + base + " --persistence 0 -o '" + (dir / "bare.png") + "'").status, 0);
        const rgb_image_t alone = decode_png(read_file(dir / "alone.png"));
        const rgb_image_t ranged = decode_png(read_file(dir / "level4_frame000400.png"));
        EXPECT_LE(max_abs_difference(alone, ranged), 1) << timing;
        // ... and it does carry light from before: the frame alone differs.
        EXPECT_GT(mean_abs_difference(alone, decode_png(read_file(dir / "bare.png"))), 0.5)
            << timing;
    }
}

// A GIF of the tube look holds its frames in 255 steps of the phosphor's
// ramp and the screen's surround: close to the PNG of the same frame.
TEST(SnakeRenderTube, GifKeepsToThePhosphorsRamp)
{
    scratch_dir_t dir;
    const std::string tube = " -q --look tube --size 300";
    const run_t r = render("1 101-120" + tube + " --gif '" + (dir / "g.gif") + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(render("1 112" + tube + " -o '" + (dir / "112.png") + "'").status, 0);
    const gif_movie_t gif = decode_gif(read_file(dir / "g.gif"));
    ASSERT_EQ(gif.frames.size(), 20u);
    EXPECT_EQ(gif.width, 300);
    // Steps even in the response to the power 1/2.2 are at most about 4 of
    // 255 apart in sRGB, so each colour is within 2 or so of the true one.
    const rgb_image_t png = decode_png(read_file(dir / "112.png"));
    EXPECT_LT(mean_abs_difference(gif.frames[112 - 101], png), 1.0);
    EXPECT_LE(max_abs_difference(gif.frames[112 - 101], png), 4);
}

} // namespace
