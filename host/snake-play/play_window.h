// Everything of snake-play that touches SDL: the window and its picture, the
// keyboard and the close button, and the clock. Nothing here knows the game.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/image/frame_image.h"
#include "host/play/play_keys.h"

struct play_window_t;

// Opens a resizable window of 256 * scale pixels a side for pictures of
// picture_side pixels a side, enlarged by whole steps as sharp squares, or
// smoothly to fit the window when `smooth`. On failure returns nullptr with
// the reason in *error. Where there is no display SDL falls back
// on a driver that shows nothing (offscreen, dummy); unless headless_ok or
// SDL_VIDEODRIVER names a driver, that is a failure too, or the game would
// play on unseen.
play_window_t *window_open(int scale, bool fill, bool headless_ok, int picture_side, bool smooth,
                           std::string *error);

void window_close(play_window_t *w);

// Shows a picture of picture_side pixels a side, placed by display_fit.
void window_show(play_window_t *w, const rgb_image_t &picture);

// Appends the inputs that came in since the last call, oldest first; closing
// the window is a quit (signals are play_signals.h's).
void window_poll(play_window_t *w, std::vector<play_input_t> *inputs);

// Sleeps up to `us` microseconds, less if an input comes in.
void window_wait(play_window_t *w, std::int64_t us);

// A steady clock in microseconds.
std::int64_t clock_us();
