// The picture of a frame being stepped through in snake-play: the ticks shown
// so far, lit as the raster lights them; a marker where the beam is, hollow
// while it is dark; and a line of text with the frame, the tick, the pass and
// the painter state.
#pragma once

#include "host/image/frame_image.h"
#include "host/play/beam_stepper.h"

// Marker and text are drawn in MESSAGE_COLOR, a colour the beam never has.
inline constexpr int STEP_MARKER_RADIUS = 3;

rgb_image_t step_picture(const beam_stepper_t &st);
