#include "host/image/png_writer.h"

#include <png.h>
#include <zlib.h>

#include <array>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

namespace {

// More distinct colours than this make a smooth picture (the tube's ramp
// has hundreds); the exact look has at most 18, a trace a dozen.
constexpr int FEW_COLOURS = 32;

// Few colours: long runs, which zlib's high levels find unfiltered (a filter
// would turn each run's edge into new bytes); level 9 packs a few percent
// tighter than 8 at twice the time. Smooth pictures: each byte is close to
// what Paeth predicts from its neighbours, and the small differences are
// mostly runs of zeros, which Z_RLE codes in a tenth of the default level's
// time and about a tenth more bytes.
struct png_compression_t {
    int level;
    int strategy;
    int filter;
};
constexpr png_compression_t FEW_COLOUR_COMPRESSION = {8, Z_DEFAULT_STRATEGY, PNG_FILTER_NONE};
constexpr png_compression_t SMOOTH_COMPRESSION = {1, Z_RLE, PNG_FILTER_PAETH};

const std::uint8_t *row_of(const rgb_image_t &image, int j)
{
    return &image.rgb[std::size_t(3) * image.width * j];
}

bool same_row_as_above(const rgb_image_t &image, int j)
{
    return j > 0 &&
           std::memcmp(row_of(image, j), row_of(image, j - 1), 3 * std::size_t(image.width)) == 0;
}

struct picture_kind_t {
    bool few_colours; // at most FEW_COLOURS
    bool rows_repeat; // at least half the rows repeat the one above: an enlarged picture
};

// A row like the one above, or a pixel like the one before, brings no new colour.
picture_kind_t kind_of(const rgb_image_t &image)
{
    std::array<std::array<std::uint8_t, 3>, FEW_COLOURS> seen{};
    int count = 0;
    int repeated = 0;
    for (int j = 0; j < image.height; ++j) {
        if (same_row_as_above(image, j)) {
            ++repeated;
            continue;
        }
        const std::uint8_t *row = row_of(image, j);
        for (int i = 0; i < image.width && count <= FEW_COLOURS; ++i) {
            const std::uint8_t *p = row + 3 * i;
            if (i > 0 && std::memcmp(p, p - 3, 3) == 0)
                continue;
            int k = 0;
            while (k < count && std::memcmp(seen[k].data(), p, 3) != 0)
                ++k;
            if (k < count)
                continue;
            if (count < FEW_COLOURS)
                std::memcpy(seen[k].data(), p, 3);
            ++count;
        }
    }
    return {count <= FEW_COLOURS, 2 * repeated >= image.height};
}

// What libpng's callbacks share: the bytes so far, and why it failed (kept
// without allocating, since nothing may throw through libpng).
struct png_output_t {
    std::vector<std::uint8_t> *bytes;
    std::array<char, 128> message;
};

[[noreturn]] void on_error(png_structp png, png_const_charp message)
{
    std::array<char, 128> &out = static_cast<png_output_t *>(png_get_error_ptr(png))->message;
    std::snprintf(out.data(), out.size(), "%s", message);
    png_longjmp(png, 1);
}

void on_warning(png_structp, png_const_charp) {}

void on_write(png_structp png, png_bytep data, std::size_t length)
{
    auto *out = static_cast<png_output_t *>(png_get_io_ptr(png));
    bool full = false;
    try {
        out->bytes->insert(out->bytes->end(), data, data + length);
    } catch (const std::bad_alloc &) {
        full = true;
    }
    // libpng leaves by longjmp, which must not cross a live exception.
    if (full)
        png_error(png, "out of memory");
}

void on_flush(png_structp) {}

// The libpng calls between its setjmp and the end; only plain values live
// here, so that libpng's longjmp on an error skips no destructor.
bool write_png(png_structp png, png_infop info, const rgb_image_t &image)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    const picture_kind_t kind = kind_of(image);
    const png_compression_t &c = kind.few_colours ? FEW_COLOUR_COMPRESSION : SMOOTH_COMPRESSION;
    png_set_write_fn(png, png_get_error_ptr(png), on_write, on_flush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // The screen's colours are meant in sRGB; the chunk says so rather than a bare gAMA.
    png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
    png_set_compression_level(png, c.level);
    png_set_compression_strategy(png, c.strategy);
    // In an enlarged picture a row that repeats the one above is all zeros
    // after the Up filter, which costs less than matching it unfiltered; in
    // a picture of single points such rows are mostly black anyway, and a
    // change of filter only breaks zlib's runs. Libpng keeps the row above
    // only if Up is named before the first row, whose filter it then picks
    // itself (its row above counts as zeros).
    png_set_filter(png, PNG_FILTER_TYPE_BASE, c.filter | (kind.rows_repeat ? PNG_FILTER_UP : 0));
    png_write_info(png, info);
    for (int j = 0; j < image.height; ++j) {
        if (j > 0 && kind.rows_repeat)
            png_set_filter(png, PNG_FILTER_TYPE_BASE,
                           same_row_as_above(image, j) ? PNG_FILTER_UP : c.filter);
        png_write_row(png, row_of(image, j));
    }
    png_write_end(png, info);
    return true;
}

} // namespace

std::vector<std::uint8_t> encode_png(const rgb_image_t &image)
{
    if (!rgb_image_valid(image))
        throw std::invalid_argument("encode_png: invalid image");
    std::vector<std::uint8_t> bytes;
    png_output_t out{&bytes, {"out of memory"}};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &out, on_error, on_warning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const bool written = info && write_png(png, info, image);
    png_destroy_write_struct(&png, &info);
    if (!written)
        throw std::runtime_error(std::string("PNG encoder: ") + out.message.data());
    return bytes;
}
