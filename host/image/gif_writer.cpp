#include "host/image/gif_writer.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <utility>

namespace {

constexpr std::size_t PALETTE_MAX = 256;
constexpr std::uint32_t NO_COLOR = 0xFFFFFFFF; // above every 0xRRGGBB

// Loop count 0: repeat forever.
constexpr GifByteType NETSCAPE_ID[] = "NETSCAPE2.0";
constexpr GifByteType NETSCAPE_LOOP[] = {1, 0, 0};

std::uint32_t color_at(const std::uint8_t *p)
{
    return std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
}

const std::uint8_t *pixel_at(const std::vector<std::uint8_t> &rgb, int width, int x, int y)
{
    return rgb.data() + 3 * (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                             static_cast<std::size_t>(x));
}

std::string gif_error(int code)
{
    const char *text = GifErrorString(code);
    return std::string("GIF: ") + (text ? text : "unknown giflib error");
}

struct map_deleter_t {
    void operator()(ColorMapObject *map) const { GifFreeMapObject(map); }
};
using color_map_t = std::unique_ptr<ColorMapObject, map_deleter_t>;

// A GIF palette has a power of two entries; the ones after the colours stay black.
color_map_t make_map(const std::vector<std::uint32_t> &colors)
{
    const int count = 1 << GifBitSize(static_cast<int>(colors.size()));
    color_map_t map(GifMakeMapObject(count, nullptr));
    if (!map)
        throw std::bad_alloc();
    for (int i = 0; i < count; ++i) {
        const std::uint32_t c = static_cast<std::size_t>(i) < colors.size() ? colors[i] : 0;
        map->Colors[i] = {static_cast<GifByteType>(c >> 16), static_cast<GifByteType>(c >> 8),
                          static_cast<GifByteType>(c)};
    }
    return map;
}

} // namespace

int gif_writer_t::on_write(GifFileType *gif, const std::uint8_t *data, int n)
{
    auto *self = static_cast<gif_writer_t *>(gif->UserData);
    if (self->dropping_)
        return n;
    // giflib reports a write that takes less as failed.
    return sink_write(self->sink_, data, static_cast<std::size_t>(n)) ? n : 0;
}

gif_writer_t::gif_writer_t(int width, int height, int delay_cs, const sink_t &sink)
    : width_(width), height_(height), delay_cs_(delay_cs), sink_(sink)
{
    if (width < 1 || width > GIF_SIDE_MAX || height < 1 || height > GIF_SIDE_MAX)
        throw std::invalid_argument("GIF size must be 1 to 65535 on each side");
    if (delay_cs < 0 || delay_cs > GIF_DELAY_MAX)
        throw std::invalid_argument("GIF frame delay must be 0 to 65535 hundredths of a second");
    int error = 0;
    gif_ = EGifOpen(this, on_write, &error);
    if (!gif_)
        throw std::bad_alloc();
}

gif_writer_t::~gif_writer_t()
{
    int error = 0;
    dropping_ = true;
    if (gif_)
        EGifCloseFile(gif_, &error);
}

bool gif_writer_t::add_frame(const rgb_image_t &image, std::string *error)
{
    if (!gif_ || broken_) {
        *error = !gif_ ? "GIF: the file is already finished" : "GIF: an earlier write failed";
        return false;
    }
    if (!rgb_image_valid(image) || image.width != width_ || image.height != height_) {
        *error = "GIF: a frame must be " + std::to_string(width_) + " x " +
                 std::to_string(height_) + " pixels";
        return false;
    }
    const bool first = previous_.empty();
    const rect_t rect = first ? rect_t{0, 0, width_, height_} : changed_rect(image);
    colors_t colors;
    if (!collect_colors(image, rect, &colors)) {
        *error = "GIF: a frame has more than 256 colours";
        return false;
    }
    if (first) {
        global_ = colors;
        if (!put_header())
            return fail_writing(error);
    }
    const bool local = !std::includes(global_.begin(), global_.end(), colors.begin(), colors.end());
    if (!put_frame(image, rect, local ? colors : global_, local))
        return fail_writing(error);
    previous_ = image.rgb;
    return true;
}

bool gif_writer_t::finish(std::string *error)
{
    if (!gif_ || broken_ || previous_.empty()) {
        *error = !gif_     ? "GIF: the file is already finished"
                 : broken_ ? "GIF: an earlier write failed"
                           : "GIF: no frames";
        return false;
    }
    int code = 0;
    const int closed = EGifCloseFile(gif_, &code);
    gif_ = nullptr;
    if (closed != GIF_OK) {
        *error = gif_error(code);
        return false;
    }
    return true;
}

gif_writer_t::rect_t gif_writer_t::changed_rect(const rgb_image_t &image) const
{
    const std::size_t row_bytes = std::size_t{3} * static_cast<std::size_t>(width_);
    int left = width_, right = -1, top = -1, bottom = -1;
    for (int y = 0; y < height_; ++y) {
        const std::uint8_t *now = pixel_at(image.rgb, width_, 0, y);
        const std::uint8_t *before = pixel_at(previous_, width_, 0, y);
        if (std::memcmp(now, before, row_bytes) == 0)
            continue;
        for (int x = 0; x < width_; ++x) {
            if (std::memcmp(now + 3 * x, before + 3 * x, 3) != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
        top = top < 0 ? y : top;
        bottom = y;
    }
    // An unchanged frame still needs an image to carry its delay.
    if (top < 0)
        return {0, 0, 1, 1};
    return {left, top, right - left + 1, bottom - top + 1};
}

bool gif_writer_t::collect_colors(const rgb_image_t &image, const rect_t &rect,
                                  colors_t *colors) const
{
    std::uint32_t last = NO_COLOR; // rows are mostly runs of one colour
    for (int y = rect.top; y < rect.top + rect.height; ++y) {
        const std::uint8_t *p = pixel_at(image.rgb, width_, rect.left, y);
        for (int x = 0; x < rect.width; ++x, p += 3) {
            const std::uint32_t c = color_at(p);
            if (c == last || std::find(colors->begin(), colors->end(), c) != colors->end()) {
                last = c;
                continue;
            }
            if (colors->size() == PALETTE_MAX)
                return false;
            colors->push_back(c);
            last = c;
        }
    }
    std::sort(colors->begin(), colors->end());
    return true;
}

bool gif_writer_t::put_header()
{
    const color_map_t map = make_map(global_);
    // Streamed frames are not seen by giflib's own choice of version.
    EGifSetGifVersion(gif_, true);
    return EGifPutScreenDesc(gif_, width_, height_, 8, 0, map.get()) == GIF_OK &&
           EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif_, sizeof NETSCAPE_ID - 1, NETSCAPE_ID) == GIF_OK &&
           EGifPutExtensionBlock(gif_, sizeof NETSCAPE_LOOP, NETSCAPE_LOOP) == GIF_OK &&
           EGifPutExtensionTrailer(gif_) == GIF_OK;
}

bool gif_writer_t::put_frame(const rgb_image_t &image, const rect_t &rect, const colors_t &colors,
                             bool local)
{
    GraphicsControlBlock control{DISPOSE_DO_NOT, false, delay_cs_, NO_TRANSPARENT_COLOR};
    GifByteType extension[4];
    const int extension_size = static_cast<int>(EGifGCBToExtension(&control, extension));
    if (EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, extension_size, extension) != GIF_OK)
        return false;
    const color_map_t map = local ? make_map(colors) : nullptr;
    // giflib 5.2 forgets, without freeing it, the last frame's own palette
    // when a frame comes without one.
    if (!local && gif_->Image.ColorMap) {
        GifFreeMapObject(gif_->Image.ColorMap);
        gif_->Image.ColorMap = nullptr;
    }
    if (EGifPutImageDesc(gif_, rect.left, rect.top, rect.width, rect.height, false, map.get()) !=
        GIF_OK)
        return false;
    std::vector<GifPixelType> line(static_cast<std::size_t>(rect.width));
    for (int y = rect.top; y < rect.top + rect.height; ++y) {
        const std::uint8_t *p = pixel_at(image.rgb, width_, rect.left, y);
        for (GifPixelType &index : line) {
            const auto found = std::lower_bound(colors.begin(), colors.end(), color_at(p));
            index = static_cast<GifPixelType>(found - colors.begin());
            p += 3;
        }
        if (EGifPutLine(gif_, line.data(), rect.width) != GIF_OK)
            return false;
    }
    return true;
}

bool gif_writer_t::fail_writing(std::string *error)
{
    broken_ = true;
    *error = gif_error(gif_->Error);
    return false;
}
