// snake-render's tube look and video as a user meets them (their faults are
// snake_render_cli_test's): the video decodes
// (by FFmpeg's own ffprobe and ffmpeg) to the frames, rate and size asked
// for and looks like the PNGs of the same frames, written into a file or
// into a pipe; a tube frame is the same
// alone as within a range; a tube GIF keeps to the phosphor's ramp.
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
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/video_enc_params.h>
}
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

bool have_ffmpeg()
{
    return run_program("ffprobe", "-version").status == 0 &&
           run_program("ffmpeg", "-version").status == 0;
}

// "key=value" lines of ffprobe about the video stream.
std::string probe(const std::string &path)
{
    const run_t r = run_program("ffprobe", "-v error -count_frames -select_streams v:0 "
                                           "-show_entries stream=codec_name,width,height,"
                                           "r_frame_rate,nb_read_frames,pix_fmt -of "
                                           "default=nw=1 '" +
                                               path + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    return r.out;
}

// Frame `index` (0 the first) of a video, decoded to a PNG by ffmpeg.
rgb_image_t video_frame(const std::string &video, int index, const std::string &png)
{
    const run_t r =
        run_program("ffmpeg", "-v error -y -i '" + video + "' -vf 'select=eq(n\\," +
                                  std::to_string(index) + ")' -vframes 1 '" + png + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    return decode_png(read_file(png));
}

// What FFmpeg's libraries read of a video: the frames that are key frames
// (by their time at `fps`), and the highest quantizer index a frame has.
struct video_stream_t {
    std::vector<std::int64_t> key_frames;
    int most_q = -1;
};

#if PC_SNAKE_VIDEO
video_stream_t read_stream(const std::string &path, int fps)
{
    video_stream_t v;
    AVFormatContext *format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0 ||
        avformat_find_stream_info(format, nullptr) < 0) {
        ADD_FAILURE() << "FFmpeg cannot read " << path;
        return v;
    }
    const AVStream *stream = format->streams[0];
    const AVCodec *codec = avcodec_find_decoder(stream->codecpar->codec_id);
    AVCodecContext *decoder = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(decoder, stream->codecpar);
    decoder->export_side_data |= AV_CODEC_EXPORT_DATA_VIDEO_ENC_PARAMS;
    EXPECT_EQ(avcodec_open2(decoder, codec, nullptr), 0);
    AVPacket *packet = av_packet_alloc();
    AVFrame *frame = av_frame_alloc();
    const auto take_frames = [&] {
        while (avcodec_receive_frame(decoder, frame) == 0)
            if (const AVFrameSideData *d =
                    av_frame_get_side_data(frame, AV_FRAME_DATA_VIDEO_ENC_PARAMS))
                v.most_q = std::max(v.most_q, reinterpret_cast<AVVideoEncParams *>(d->data)->qp);
    };
    while (av_read_frame(format, packet) >= 0) {
        if ((packet->flags & AV_PKT_FLAG_KEY) != 0)
            v.key_frames.push_back(
                av_rescale_q(packet->pts, stream->time_base, AVRational{1, fps}));
        avcodec_send_packet(decoder, packet);
        av_packet_unref(packet);
        take_frames();
    }
    avcodec_send_packet(decoder, nullptr);
    take_frames();
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&format);
    return v;
}
#endif

// Lossy coding at the default quality keeps these pictures above 40 dB
// PSNR, an RMS error of 255 / 100 = 2.55; the mean absolute error is at
// most the RMS one. (yuv420p halves the colour's resolution, which costs
// most on the sharp single points of the exact look, and the screen is
// mostly black, which survives exactly.)
constexpr double VIDEO_MEAN_ERROR_MAX = 2.55;

TEST(SnakeRenderTube, VideoDecodesToTheFramesAsked)
{
    if (!have_ffmpeg())
        GTEST_SKIP() << "ffprobe and ffmpeg are needed (Debian package ffmpeg)";
    struct case_t {
        std::string look; // options of the look
        std::string file; // the video's name, and its quality
        std::string crf;
        std::string expected; // what ffprobe says
        int side;
        bool piped; // through a named pipe, which cannot be gone back into
        int vp9_q;  // VP9's q index of its plainest frames: libvpx's 4 a step of its 0 to 63
    };
    // --crf is H.264's scale, 0 to 51, onto VP9's 0 to 63: 33 is VP9's 40.76, so 41.
    const case_t cases[] = {
        {"--look tube --size 256", "tube.mp4", "", "codec_name=h264", 256, false, -1},
        {"--look tube --size 320 --fixed-frame", "tube.webm", "--crf 33", "codec_name=vp9", 320,
         false, 4 * 41},
        {"--scale 2", "exact.mp4", "", "codec_name=h264", 512, false, -1},
        {"--look tube --size 256", "piped.mp4", "", "codec_name=h264", 256, true, -1},
        {"--scale 2", "piped.webm", "", "codec_name=vp9", 512, true, -1},
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
        if (r.err.find("built without FFmpeg") != std::string::npos)
            GTEST_SKIP() << r.err;
        ASSERT_EQ(r.status, 0) << c.file << ": " << r.err;
        const std::string info = probe(video);
        for (const std::string &line :
             {c.expected, std::string("width=") + std::to_string(c.side),
              "height=" + std::to_string(c.side), std::string("pix_fmt=yuv420p"),
              std::string("r_frame_rate=25/1"), std::string("nb_read_frames=60")})
            EXPECT_NE(info.find(line + "\n"), std::string::npos)
                << c.file << ": " << line << " in\n"
                << info;
#if PC_SNAKE_VIDEO
        // A key frame every two seconds, for seeking. (A fragmented MP4 has no
        // edit list to hide the encoder's two frames of delay: its times start at 2.)
        const video_stream_t stream = read_stream(video, 25);
        const std::int64_t delay = c.piped && c.file.ends_with(".mp4") ? 2 : 0;
        EXPECT_EQ(stream.key_frames, (std::vector<std::int64_t>{delay, 50 + delay})) << c.file;
        if (c.vp9_q >= 0) {
            EXPECT_EQ(stream.most_q, c.vp9_q) << c.file;
        }
#endif
        // Frame 308 (the crash at level 3) is the video's 28th.
        const std::string png = dir / "308.png";
        ASSERT_EQ(render("3 308 -q " + c.look + " -o '" + png + "'").status, 0);
        const double error = mean_abs_difference(video_frame(video, 308 - 281, dir / "decoded.png"),
                                                 decode_png(read_file(png)));
        EXPECT_LT(error, VIDEO_MEAN_ERROR_MAX) << c.file;
    }
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
