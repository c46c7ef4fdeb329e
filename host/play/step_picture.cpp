#include "host/play/step_picture.h"

#include <memory>
#include <string>

#include "host/play/overlay_text.h"
#include "host/play/play_picture.h"
#include "host/sim/hex_byte.h"

namespace {

constexpr std::uint8_t TEXT_TOP_Y = 244;
constexpr std::uint8_t TEXT_SIZE = 1;

// A disc about (x, y), or only its rim when hollow.
void mark(overlay_t &overlay, std::uint8_t x, std::uint8_t y, bool hollow)
{
    const double outer = STEP_MARKER_RADIUS + 0.5;
    const double inner = STEP_MARKER_RADIUS - 0.5;
    for (int dy = -STEP_MARKER_RADIUS; dy <= STEP_MARKER_RADIUS; ++dy)
        for (int dx = -STEP_MARKER_RADIUS; dx <= STEP_MARKER_RADIUS; ++dx) {
            const int d2 = dx * dx + dy * dy;
            const int px = x + dx;
            const int py = y + dy;
            if (d2 > outer * outer || (hollow && d2 < inner * inner))
                continue;
            if (px >= 0 && py >= 0 && px < SCREEN_SIDE && py < SCREEN_SIDE)
                overlay[static_cast<std::size_t>(px * SCREEN_SIDE + py)] = 1;
        }
}

// Where the beam is after the ticks shown: at the last lit point, dark there
// when a dark tick came after it.
struct beam_at_t {
    const beam_tick_t *point = nullptr; // none before the frame's first lit tick
    bool dark = false;
};

beam_at_t beam_position(const beam_stepper_t &st)
{
    for (std::size_t i = st.shown; i-- > 0;)
        if (st.ticks[i].lit)
            return {&st.ticks[i], i + 1 != st.shown};
    return {};
}

std::string status_text(const beam_tick_t &t)
{
    return "frame " + std::to_string(t.frame) + ", tick " + std::to_string(t.tick) + "\n" +
           BEAM_PASS_NAMES[static_cast<std::size_t>(t.pass)] + ", state " + hex2(t.state);
}

} // namespace

rgb_image_t step_picture(const beam_stepper_t &st)
{
    rgb_image_t image = frame_image(stepper_glow(st)->pixel.data());
    if (st.shown == 0)
        return image;
    auto overlay = std::make_unique<overlay_t>(); // 64 KiB, off the stack
    overlay->fill(0);
    if (const beam_at_t at = beam_position(st); at.point != nullptr)
        mark(*overlay, at.point->x, at.point->y, at.dark);
    overlay_centred(*overlay, status_text(st.ticks[st.shown - 1]), TEXT_TOP_Y, TEXT_SIZE);
    paint_overlay(&image, *overlay);
    return image;
}
