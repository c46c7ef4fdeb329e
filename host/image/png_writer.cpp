#include "host/image/png_writer.h"

#include <png.h>

#include <stdexcept>
#include <string>

std::vector<std::uint8_t> encode_png(const rgb_image_t &image)
{
    if (!rgb_image_valid(image))
        throw std::invalid_argument("encode_png: invalid image");
    // The simplified writer always names a colour space: sRGB (its default),
    // which is what the screen colours are meant in, rather than a bare gAMA.
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;

    // A first call without a buffer asks for the size, the second writes.
    png_alloc_size_t size = 0;
    std::vector<std::uint8_t> out;
    if (png_image_write_to_memory(&png, nullptr, &size, 0, image.rgb.data(), 0, nullptr)) {
        out.resize(size);
        if (png_image_write_to_memory(&png, out.data(), &size, 0, image.rgb.data(), 0, nullptr)) {
            out.resize(size);
            return out;
        }
    }
    // Each call frees what libpng allocated and leaves only its message.
    throw std::runtime_error(std::string("PNG encoder: ") + png.message);
}
