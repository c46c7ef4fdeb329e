// The RGB frame, and the PNG and GIF made from it decoded again with libpng
// and giflib.
#include <gtest/gtest.h>

#include <png.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/image/frame_image.h"
#include "host/image/gif_writer.h"
#include "host/image/png_writer.h"
#include "host/image/screen_color.h"
#include "host/keys/stimuli.h"
#include "host/sim/scripted_run.h"
#include "tests/support/heard_frame.h"
#include "tests/support/image_compare.h"
#include "tests/support/image_decode.h"

namespace {

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
        EXPECT_TRUE(same_image("png_scale" + std::to_string(scale), decoded, image));
        for (const lit_t &p : LIT)
            expect_point(decoded, scale, p);
        EXPECT_EQ(encode_png(image), bytes); // no time stamp
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()).find("tIME"), std::string::npos);
    }
    EXPECT_FALSE(rgb_image_valid(scale_image(frame, 0)));
    EXPECT_FALSE(rgb_image_valid(scale_image(frame, IMAGE_SCALE_MAX + 1)));
}

// A smooth picture of many colours, as the tube's are: a ramp that changes
// in every pixel and every channel.
rgb_image_t smooth_picture(int width, int height)
{
    rgb_image_t image{width, height, std::vector<std::uint8_t>(std::size_t(3) * width * height)};
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i) {
            std::uint8_t *p = &image.rgb[3 * (std::size_t(j) * width + i)];
            p[0] = static_cast<std::uint8_t>(i * j / 7);
            p[1] = static_cast<std::uint8_t>(127.5 + 127.5 * std::sin(0.05 * i + 0.03 * j));
            p[2] = static_cast<std::uint8_t>(i + 3 * j);
        }
    return image;
}

// The chunks of a PNG file by type, in order.
std::vector<std::string> chunk_types(const std::vector<std::uint8_t> &png)
{
    std::vector<std::string> types;
    for (std::size_t at = 8; at + 8 <= png.size();) {
        const std::size_t length = std::size_t(png[at]) << 24 | std::size_t(png[at + 1]) << 16 |
                                   std::size_t(png[at + 2]) << 8 | png[at + 3];
        types.emplace_back(png.begin() + std::ptrdiff_t(at) + 4,
                           png.begin() + std::ptrdiff_t(at) + 8);
        at += 12 + length;
    }
    return types;
}

// Every kind of picture the writer packs its own way decodes to its pixels,
// with nothing but the header, the sRGB intent (perceptual), the data and the
// end: few colours, smooth, each as drawn and enlarged (rows repeating), and
// pictures one pixel high or wide, where libpng drops the filters that look
// at the row above or the pixel before.
TEST(Png, EveryKindOfPictureDecodesToItsPixels)
{
    const rgb_image_t exact = frame_image(lit_buffer(true).data());
    struct case_t {
        const char *name;
        rgb_image_t image;
    };
    const case_t cases[] = {
        {"few colours", exact},
        {"few colours, enlarged", scale_image(exact, 5)},
        {"smooth", smooth_picture(300, 200)},
        {"smooth, enlarged", scale_image(smooth_picture(256, 256), 2)},
        {"one pixel", smooth_picture(1, 1)},
        {"one row", smooth_picture(500, 1)},
        {"one column", smooth_picture(1, 150)},
        {"one column, repeating", scale_image(smooth_picture(1, 60), 4)},
    };
    for (const case_t &c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::uint8_t> bytes = encode_png(c.image);
        EXPECT_TRUE(same_image(std::string("png_kind_") + c.name, decode_png(bytes), c.image));
        std::vector<std::string> types = chunk_types(bytes);
        ASSERT_GE(types.size(), 4u);
        EXPECT_EQ(types[0], "IHDR");
        EXPECT_EQ(types[1], "sRGB");
        EXPECT_EQ(bytes[8 + 25 + 8], PNG_sRGB_INTENT_PERCEPTUAL); // after the signature and IHDR
        EXPECT_EQ(types.back(), "IEND");
        types.erase(types.begin(), types.begin() + 2);
        types.pop_back();
        EXPECT_TRUE(std::all_of(types.begin(), types.end(),
                                [](const std::string &t) { return t == "IDAT"; }));
        EXPECT_EQ(encode_png(c.image), bytes);
    }
}

// libpng's simplified writer at zlib's default level, the writer's first way.
std::size_t default_png_size(const rgb_image_t &image)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    EXPECT_TRUE(png_image_write_to_memory(&png, nullptr, &size, 0, image.rgb.data(), 0, nullptr));
    return size;
}

// The exact look's frames, of few colours, are packed tighter than at
// zlib's default level: as drawn by a fifth at least (a high level finds the
// long black runs and the repeated strokes of the text), enlarged no worse.
TEST(Png, FewColourFramesPackTighterThanTheDefault)
{
    for (const std::uint8_t level : {1, 3}) {
        const auto heard = std::make_unique<heard_frame_t>();
        scripted_run_t run;
        run.setup.level = level;
        run.keys = builtin_key_script();
        run_start(&run);
        ASSERT_FALSE(beam_faulted(run_to_frame(&run, 400)));
        const rgb_image_t frame = frame_image(heard->glow.pixel.data());
        for (const int scale : {1, 2, 4}) {
            const rgb_image_t image = scale_image(frame, scale);
            const double ratio =
                static_cast<double>(encode_png(image).size()) / default_png_size(image);
            EXPECT_LE(ratio, scale == 1 ? 0.8 : 1.0)
                << "level " << int{level} << " scale " << scale;
        }
    }
}

TEST(Gif, AnimationLoopsAndDecodesToItsFrames)
{
    // A new colour, no change, and back: a global and a local palette, and an empty change.
    const bool extra[] = {false, true, true, false};
    std::vector<rgb_image_t> frames;
    memory_sink_t file;
    gif_writer_t writer(768, 768, 7, memory_sink(&file));
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
    ASSERT_TRUE(writer.finish(&error)) << error;
    EXPECT_FALSE(writer.add_frame(frames[0], &error));
    memory_sink_t none;
    EXPECT_FALSE(gif_writer_t(1, 1, 0, memory_sink(&none)).finish(&error)); // no frames
    { // nor is anything written, not even at the end
        gif_writer_t dropped(1, 1, 0, memory_sink(&none));
    }
    EXPECT_EQ(none.bytes, "");
    const std::vector<std::uint8_t> bytes(file.bytes.begin(), file.bytes.end());

    // GIF89a; NETSCAPE2.0 with a 3-byte sub-block 1: loop count 0, forever.
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.rfind("GIF89a", 0), 0u);
    EXPECT_NE(text.find(std::string("NETSCAPE2.0\x03\x01\x00\x00", 15)), std::string::npos);
    const gif_movie_t movie = decode_gif(bytes);
    ASSERT_EQ(movie.frames.size(), 4u);
    EXPECT_TRUE(movie.loops);
    for (std::size_t i = 0; i < movie.frames.size(); ++i) {
        EXPECT_TRUE(same_image("gif_frame" + std::to_string(i), movie.frames[i], frames[i]));
        EXPECT_EQ(movie.delays_cs[i], 7);
    }
}

} // namespace
