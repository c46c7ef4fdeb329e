#include <string>

#include "host/image/canvas.h"
#include "host/render/trace_scene.h"

namespace {

constexpr int TEXT_SCALE = 2;
constexpr int LARGE_TEXT_SCALE = 3;

// "#rrggbb", as the scene writes its colours.
canvas_rgb_t rgb_of(const std::string &colour)
{
    canvas_rgb_t rgb{};
    for (std::size_t c = 0; c < rgb.size(); ++c)
        rgb[c] = static_cast<std::uint8_t>(std::stoi(colour.substr(1 + 2 * c, 2), nullptr, 16));
    return rgb;
}

constexpr canvas_rgb_t SCREEN_RIM = {0xc8, 0xc8, 0xc8};

void draw_shape(rgb_image_t &image, const shape_t &s)
{
    const canvas_rgb_t rgb = rgb_of(s.colour);
    switch (s.kind) {
    case shape_kind_t::screen:
        fill_disc(image, s.x, s.y, s.x2, rgb);
        draw_ring(image, s.x, s.y, s.x2, SCREEN_RIM);
        return;
    case shape_kind_t::path: draw_line(image, s.x, s.y, s.x2, s.y2, rgb); return;
    case shape_kind_t::move:
        draw_line(image, s.x, s.y, s.x2, s.y2, rgb, {TRACE_DASH_ON, TRACE_DASH_OFF});
        return;
    case shape_kind_t::filled: {
        const double half = TRACE_FILLED_HALF + 0.5; // the outline's own width
        draw_rect(image, s.x - half, s.y - half, s.x + half, s.y + half, rgb);
        return;
    }
    case shape_kind_t::dark: draw_ring(image, s.x, s.y, TRACE_DARK_R, rgb); return;
    case shape_kind_t::lit: fill_disc(image, s.x, s.y, TRACE_DOT_R, rgb); return;
    case shape_kind_t::swatch: fill_rect(image, s.x, s.y, s.x2, s.y2, rgb); return;
    case shape_kind_t::text:
        draw_text(image, s.x, s.y, s.text, s.large ? LARGE_TEXT_SCALE : TEXT_SCALE, rgb, s.right);
        return;
    }
}

} // namespace

rgb_image_t trace_picture(const trace_scene_t &scene)
{
    rgb_image_t image = blank_canvas(scene.width, scene.height, rgb_of(TRACE_BACKGROUND));
    for (const shape_t &s : scene.shapes)
        draw_shape(image, s);
    return image;
}
