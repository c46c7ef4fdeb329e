// The RGB frame, and the PNG and GIF made from it decoded again with libpng
// and giflib; files written whole or not at all.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "host/io/file_output.h"
#include "host/image/frame_image.h"
#include "host/image/gif_writer.h"
#include "host/image/png_writer.h"
#include "host/image/screen_color.h"
#include "tests/support/image_decode.h"

namespace {

namespace fs = std::filesystem;

// One point of every colour class; channels are v * 255 and v * 100,
// truncated, then & 0xF0.
struct lit_t {
    int x, y;
    double v;
    screen_rgb_t color;
};
constexpr lit_t LIT[] = {
    // clang-format off
    {128, 128, 0.8,   {0, 192, 80}}, // 204, 80
    {140, 128, 0.4,   {0, 96, 32}},  // 102, 40
    {141, 128, 1.0,   {0, 240, 96}}, // 255, 100
    {143, 128, 0.063, {0, 16, 0}},   // 16.07, 6.3
    {128, 100, 0.0,   {0, 0, 0}},
    {213, 221, 0.8,   {0, 192, 80}}, // 85² + 93² = 15874, the largest inside
    {2, 128, 0.8,     {60, 50, 50}}, // 126² = 15876: the mask covers the afterglow
    {0, 255, 0.0,     {60, 50, 50}},
    // clang-format on
};
constexpr lit_t EXTRA = {100, 120, 0.5, {0, 112, 48}}; // 127.5, 50: in no LIT colour

std::vector<double> lit_buffer(bool extra)
{
    std::vector<double> pixel(SCREEN_SIDE * SCREEN_SIDE, 0.0);
    for (const lit_t &p : LIT)
        pixel[p.x * SCREEN_SIDE + p.y] = p.v;
    if (extra)
        pixel[EXTRA.x * SCREEN_SIDE + EXTRA.y] = EXTRA.v;
    return pixel;
}

// Every image pixel of screen point (x, y) at the given scale has its colour.
void expect_point(const rgb_image_t &image, int scale, const lit_t &p)
{
    for (int row = (255 - p.y) * scale; row < (256 - p.y) * scale; ++row)
        for (int col = p.x * scale; col < (p.x + 1) * scale; ++col) {
            const auto at = image.rgb.begin() + 3 * (row * image.width + col);
            EXPECT_TRUE(std::equal(p.color.begin(), p.color.end(), at))
                << "screen (" << p.x << "," << p.y << ") image (" << col << "," << row << ")";
        }
}

TEST(FrameImage, PngDecodesToEveryColourInPlaceAtEveryScale)
{
    const rgb_image_t frame = frame_image(lit_buffer(false).data());
    for (int scale : {1, 3, IMAGE_SCALE_MAX}) {
        const rgb_image_t image = scale_image(frame, scale);
        const std::vector<std::uint8_t> bytes = encode_png(image);
        const rgb_image_t decoded = decode_png(bytes);
        ASSERT_EQ(decoded.width, 256 * scale);
        ASSERT_EQ(decoded.height, 256 * scale);
        EXPECT_TRUE(decoded == image) << "scale " << scale;
        for (const lit_t &p : LIT)
            expect_point(decoded, scale, p);
        EXPECT_EQ(encode_png(image), bytes); // no time stamp
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()).find("tIME"), std::string::npos);
    }
    EXPECT_THROW(scale_image(frame, 0), std::invalid_argument);
    EXPECT_THROW(scale_image(frame, IMAGE_SCALE_MAX + 1), std::invalid_argument);
}

int read_gif(GifFileType *gif, GifByteType *buf, int n)
{
    auto *rest = static_cast<std::string_view *>(gif->UserData);
    const std::size_t k = rest->copy(reinterpret_cast<char *>(buf), static_cast<std::size_t>(n));
    rest->remove_prefix(k);
    return static_cast<int>(k);
}

// Opened and read whole; the caller closes it with DGifCloseFile.
GifFileType *decode_gif(const std::vector<std::uint8_t> &bytes)
{
    std::string_view rest(reinterpret_cast<const char *>(bytes.data()), bytes.size());
    int error = 0;
    GifFileType *gif = DGifOpen(&rest, read_gif, &error);
    EXPECT_TRUE(gif && DGifSlurp(gif) == GIF_OK) << GifErrorString(gif ? gif->Error : error);
    return gif;
}

// Each frame as a viewer shows it: drawn over the one before.
std::vector<rgb_image_t> gif_frames(const GifFileType *gif)
{
    rgb_image_t canvas{gif->SWidth, gif->SHeight,
                       std::vector<std::uint8_t>(3u * gif->SWidth * gif->SHeight)};
    std::vector<rgb_image_t> frames;
    for (const SavedImage &image : std::span(gif->SavedImages, gif->ImageCount)) {
        const GifImageDesc &d = image.ImageDesc;
        const ColorMapObject *map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        for (int i = 0; i < d.Width * d.Height; ++i) {
            const GifColorType c =
                map->Colors[std::min<int>(image.RasterBits[i], map->ColorCount - 1)];
            const int at = 3 * ((d.Top + i / d.Width) * canvas.width + d.Left + i % d.Width);
            canvas.rgb[at] = c.Red, canvas.rgb[at + 1] = c.Green, canvas.rgb[at + 2] = c.Blue;
        }
        frames.push_back(canvas);
    }
    return frames;
}

TEST(Gif, AnimationLoopsAndDecodesToItsFrames)
{
    // A new colour, no change, and back: a global and a local palette, and an empty change.
    const bool extra[] = {false, true, true, false};
    std::vector<rgb_image_t> frames;
    gif_writer_t writer(768, 768, 7);
    std::string error;
    for (bool e : extra) {
        frames.push_back(scale_image(frame_image(lit_buffer(e).data()), 3));
        ASSERT_TRUE(writer.add_frame(frames.back(), &error)) << error;
    }
    // Refused, leaving no trace: 300 colours (i & 255, i >> 8, 50) in the top
    // row's first pixels, and a wrong size.
    rgb_image_t many = frames[0];
    for (int i = 0; i < 300; ++i)
        many.rgb[3 * i] = static_cast<std::uint8_t>(i), many.rgb[3 * i + 1] = i >> 8;
    EXPECT_FALSE(writer.add_frame(many, &error));
    EXPECT_NE(error.find("256"), std::string::npos) << error;
    EXPECT_FALSE(writer.add_frame(frame_image(lit_buffer(false).data()), &error));
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(writer.finish(&bytes, &error)) << error;
    EXPECT_FALSE(writer.add_frame(frames[0], &error));
    EXPECT_FALSE(gif_writer_t(1, 1, 0).finish(&bytes, &error)); // no frames

    // GIF89a; NETSCAPE2.0 with a 3-byte sub-block 1: loop count 0, forever.
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.rfind("GIF89a", 0), 0u);
    EXPECT_NE(text.find(std::string("NETSCAPE2.0\x03\x01\x00\x00", 15)), std::string::npos);
    GifFileType *gif = decode_gif(bytes);
    ASSERT_TRUE(gif);
    ASSERT_EQ(gif->ImageCount, 4);
    EXPECT_EQ(gif_frames(gif), frames);
    for (int i = 0; i < gif->ImageCount; ++i) {
        GraphicsControlBlock control{};
        ASSERT_EQ(DGifSavedExtensionToGCB(gif, i, &control), GIF_OK);
        EXPECT_EQ(control.DelayTime, 7);
        EXPECT_EQ(control.DisposalMode, DISPOSE_DO_NOT);
    }
    DGifCloseFile(gif, nullptr);
}

TEST(FileOutput, WritesWholeOrLeavesThingsAsTheyWere)
{
    std::string name = (fs::temp_directory_path() / "file_output.XXXXXX").string();
    ASSERT_NE(mkdtemp(name.data()), nullptr);
    const fs::path dir = name;
    fs::create_directory(dir / "sub");
    const std::string data(4096, 'x');
    const mode_t old_mask = umask(027);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    // Target, file size limit (0: none), errno of the failure (0: success).
    const std::tuple<const char *, rlim_t, int> cases[] = {
        {"missing/out.bin", 0, ENOENT}, // no such folder
        {"sub", 0, EISDIR},             // a folder is in the way of the rename
        {"out.bin", 1000, EFBIG},       // a write fails past the size limit
        {"out.bin", 0, 0},
    };
    for (const auto &[target, limit, err] : cases) {
        std::ofstream(dir / "out.bin") << "old";
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit small{limit, saved.rlim_max};
        if (limit)
            setrlimit(RLIMIT_FSIZE, &small);
        std::string error;
        const std::string path = (dir / target).string();
        const bool ok = write_file_whole(path, data.data(), data.size(), &error);
        setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_EQ(ok, err == 0) << target;
        if (err) {
            EXPECT_NE(error.find(path), std::string::npos) << error;
            EXPECT_NE(error.find(std::strerror(err)), std::string::npos) << error;
        }
        // Only out.bin and sub: no temporary file left.
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
        std::ifstream in(dir / "out.bin", std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), err ? "old" : data);
    }
    struct stat st {};
    EXPECT_EQ(stat((dir / "out.bin").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u); // 0666 & ~027
    std::signal(SIGXFSZ, old_handler);
    umask(old_mask);
    fs::remove_all(dir);
}

} // namespace
