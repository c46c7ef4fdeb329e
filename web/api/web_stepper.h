// Slow motion and single ticks: frame drawn + 1 painted one pixel call at a
// time, its ticks shown one by one as the raster hands them out, so that the
// page shows the frame exactly as far as it has been drawn. Keys reach the
// module only between frames, as at the normal pace, so a game stepped
// through records and replays like any other.
#pragma once

#include <cstddef>

// Whether a frame is being stepped through.
bool web_stepper_open();
// Paints the rest of an open frame and ends it.
void web_stepper_finish();
// Forgets an open frame: a new game is about to start.
void web_stepper_drop();

// Answers of web_step_tick.
inline constexpr int WEB_STEP_NONE = 0;  // the game has stopped
inline constexpr int WEB_STEP_TICK = 1;  // one more tick is shown
inline constexpr int WEB_STEP_ENDED = 2; // all ticks were shown: the frame has ended

extern "C" {
// One beam tick further: the open frame's next tick, or, once all its ticks
// are shown, its end; with no frame open, the first tick of the next.
int web_step_tick();
// Ticks of the open frame shown so far.
int web_step_shown();
// The exact picture of the ticks shown: 256 x 256 RGBA.
const unsigned char *web_step_rgba();
}
