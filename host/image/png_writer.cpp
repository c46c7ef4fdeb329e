#include "host/image/png_writer.h"

#include <png.h>

#include <cstdio>
#include <new>
#include <stdexcept>
#include <string>

namespace {

// What the libpng callbacks reach through their user pointer.
struct png_sink_t {
    std::vector<std::uint8_t> *out; // the file so far
    char error[128];                // libpng's message once it has failed
};

void on_write(png_structp png, png_bytep data, png_size_t n)
{
    auto *sink = static_cast<png_sink_t *>(png_get_io_ptr(png));
    bool stored = true;
    try {
        sink->out->insert(sink->out->end(), data, data + n);
    } catch (const std::bad_alloc &) {
        stored = false;
    }
    // Leave the handler first: png_error does not return.
    if (!stored)
        png_error(png, "out of memory");
}

void on_flush(png_structp) {}

[[noreturn]] void on_error(png_structp png, png_const_charp message)
{
    auto *sink = static_cast<png_sink_t *>(png_get_error_ptr(png));
    std::snprintf(sink->error, sizeof sink->error, "%s", message);
    png_longjmp(png, 1);
}

void on_warning(png_structp, png_const_charp) {}

// libpng leaves by longjmp on failure, so this frame holds no object with a
// destructor.
bool write_png(png_structp png, png_infop info, const rgb_image_t &image)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const std::size_t row_bytes = std::size_t{3} * static_cast<std::size_t>(image.width);
    for (int y = 0; y < image.height; ++y)
        png_write_row(png, image.rgb.data() + row_bytes * static_cast<std::size_t>(y));
    png_write_end(png, nullptr);
    return true;
}

} // namespace

std::vector<std::uint8_t> encode_png(const rgb_image_t &image)
{
    if (!rgb_image_valid(image))
        throw std::invalid_argument("encode_png: invalid image");
    std::vector<std::uint8_t> out;
    png_sink_t sink{&out, "out of memory"};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, on_error, on_warning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool written = false;
    if (info) {
        png_set_write_fn(png, &sink, on_write, on_flush);
        written = write_png(png, info, image);
    }
    png_destroy_write_struct(&png, &info);
    if (!written)
        throw std::runtime_error(std::string("PNG encoder: ") + sink.error);
    return out;
}
