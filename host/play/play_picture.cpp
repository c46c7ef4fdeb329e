#include "host/play/play_picture.h"

#include <cctype>
#include <memory>
#include <string>

#include "host/play/overlay_text.h"

namespace {

constexpr std::uint8_t PAUSE_SIZE = 3;
constexpr std::uint8_t PAUSE_Y = 150;
constexpr std::uint8_t STOP_SIZE = 1;
constexpr std::uint8_t STOP_Y = 160;

} // namespace

void paint_overlay(rgb_image_t *image, const overlay_t &overlay)
{
    const int side = image->width;
    for (int j = 0; j < side; ++j) {
        const int y = SCREEN_SIDE - 1 - j * SCREEN_SIDE / side;
        for (int i = 0; i < side; ++i) {
            const int x = i * SCREEN_SIDE / side;
            if (overlay[x * SCREEN_SIDE + y] == 0)
                continue;
            const std::size_t at = (static_cast<std::size_t>(j) * side + i) * 3;
            for (std::size_t c = 0; c < 3; ++c)
                image->rgb[at + c] = MESSAGE_COLOR[c];
        }
    }
}

rgb_image_t play_picture(const play_session_t &s)
{
    return play_picture(s, frame_image(s.glow.data()));
}

rgb_image_t play_picture(const play_session_t &s, rgb_image_t image)
{
    if (!s.paused && !s.stopped)
        return image;
    auto overlay = std::make_unique<overlay_t>(); // 64 KiB, off the stack
    overlay->fill(0);
    if (s.stopped) {
        std::string text = stop_message(*s.stopped) + "\n\nEnter: a new game";
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
        overlay_centred(*overlay, text, STOP_Y, STOP_SIZE);
    } else
        overlay_centred(*overlay, "Pause", PAUSE_Y, PAUSE_SIZE);
    paint_overlay(&image, *overlay);
    return image;
}
