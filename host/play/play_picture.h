// The picture snake-play shows and saves: the glow in the screen's colours
// (or the tube's picture), with a message of the session (pause, a stopped
// game) drawn over it.
#pragma once

#include <array>
#include <cstdint>

#include "host/image/frame_image.h"
#include "host/play/overlay_text.h"
#include "host/play/play_session.h"

// Messages are drawn in amber, a colour the beam never has.
inline constexpr std::array<std::uint8_t, 3> MESSAGE_COLOR = {255, 176, 48};

// The 256 x 256 picture of the session as it is now.
rgb_image_t play_picture(const play_session_t &s);
// The same over a picture of the screen of any size (a square).
rgb_image_t play_picture(const play_session_t &s, rgb_image_t screen);

// Paints the overlay's points in MESSAGE_COLOR over a square picture of the
// screen of any size.
void paint_overlay(rgb_image_t *image, const overlay_t &overlay);
