#include "tests/support/image_decode.h"

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

namespace {

struct gif_source_t {
    const std::vector<std::uint8_t> *bytes;
    std::size_t pos;
};

int read_gif(GifFileType *gif, GifByteType *buf, int n)
{
    auto *src = static_cast<gif_source_t *>(gif->UserData);
    const std::size_t k = std::min(static_cast<std::size_t>(n), src->bytes->size() - src->pos);
    std::memcpy(buf, src->bytes->data() + src->pos, k);
    src->pos += k;
    return static_cast<int>(k);
}

struct gif_closer_t {
    void operator()(GifFileType *gif) const { DGifCloseFile(gif, nullptr); }
};

void draw_over(rgb_image_t &canvas, const GifFileType *gif, const SavedImage &image)
{
    const GifImageDesc &desc = image.ImageDesc;
    const ColorMapObject *map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    for (int y = 0; y < desc.Height; ++y)
        for (int x = 0; x < desc.Width; ++x) {
            const int index = image.RasterBits[y * desc.Width + x];
            const GifColorType c = map->Colors[std::min(index, map->ColorCount - 1)];
            const std::size_t at =
                3u * static_cast<std::size_t>((desc.Top + y) * canvas.width + desc.Left + x);
            canvas.rgb[at] = c.Red;
            canvas.rgb[at + 1] = c.Green;
            canvas.rgb[at + 2] = c.Blue;
        }
}

} // namespace

rgb_image_t decode_png(const std::vector<std::uint8_t> &bytes)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) {
        ADD_FAILURE() << "libpng: " << png.message;
        return {0, 0, {}};
    }
    png.format = PNG_FORMAT_RGB;
    rgb_image_t image{static_cast<int>(png.width), static_cast<int>(png.height),
                      std::vector<std::uint8_t>(PNG_IMAGE_SIZE(png))};
    if (!png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr)) {
        ADD_FAILURE() << "libpng: " << png.message;
        return {0, 0, {}};
    }
    return image;
}

rgb_image_t decode_ppm(const std::string &text)
{
    std::istringstream in(text);
    std::string magic;
    int width = 0, height = 0, maxval = 0;
    in >> magic >> width >> height >> maxval;
    if (magic != "P3" || width <= 0 || height <= 0 || maxval != 255) {
        ADD_FAILURE() << "not a P3 image";
        return {0, 0, {}};
    }
    rgb_image_t image{width, height, {}};
    image.rgb.reserve(3u * static_cast<std::size_t>(width * height));
    int v = 0;
    while (in >> v)
        image.rgb.push_back(static_cast<std::uint8_t>(v));
    EXPECT_EQ(image.rgb.size(), 3u * static_cast<std::size_t>(width * height));
    return image;
}

gif_movie_t decode_gif(const std::vector<std::uint8_t> &bytes)
{
    gif_source_t src{&bytes, 0};
    int error = 0;
    std::unique_ptr<GifFileType, gif_closer_t> gif(DGifOpen(&src, read_gif, &error));
    if (!gif || DGifSlurp(gif.get()) != GIF_OK) {
        ADD_FAILURE() << "giflib: " << GifErrorString(gif ? gif->Error : error);
        return {};
    }
    gif_movie_t movie;
    movie.width = gif->SWidth;
    movie.height = gif->SHeight;
    rgb_image_t canvas{
        movie.width, movie.height,
        std::vector<std::uint8_t>(3u * static_cast<std::size_t>(movie.width * movie.height))};
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage &image = gif->SavedImages[i];
        GraphicsControlBlock gcb{};
        movie.delays_cs.push_back(
            DGifSavedExtensionToGCB(gif.get(), i, &gcb) == GIF_OK ? gcb.DelayTime : -1);
        for (int e = 0; e < image.ExtensionBlockCount; ++e) {
            const ExtensionBlock &ext = image.ExtensionBlocks[e];
            if (ext.Function == APPLICATION_EXT_FUNC_CODE && ext.ByteCount == 11 &&
                std::memcmp(ext.Bytes, "NETSCAPE2.0", 11) == 0)
                movie.loops = true;
        }
        draw_over(canvas, gif.get(), image);
        movie.frames.push_back(canvas);
    }
    return movie;
}

std::vector<std::uint8_t> read_file(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string read_text(const std::string &path)
{
    const std::vector<std::uint8_t> bytes = read_file(path);
    return {bytes.begin(), bytes.end()};
}
