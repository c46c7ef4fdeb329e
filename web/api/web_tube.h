// The tube look for the page: the core's CPU tube, for a browser without
// WebGL2's float render targets, and what the page's WebGL2 tube takes from
// the core so that both draw alike: the colour of every exposure step and
// the history a frame's light needs.
#pragma once

extern "C" {
// Starts the CPU tube with these knobs (the tick rate the default one),
// listening from the next frame on; 1 if it cannot listen.
int web_tube_cpu(int size, double focus, double brightness, double persistence_ms, double glow);
void web_tube_cpu_off();
// Its picture of the latest frame heard: size x size RGBA.
const unsigned char *web_tube_rgba();
// Frames a tube frame's light depends on, at this persistence.
int web_tube_history(double persistence_ms);
// The tone map's colour of each exposure step, RGBA: the exposure's float
// bits, shifted right by 13, less (127 - 14) << 10, and kept to 0 to
// 20479, index it.
const unsigned char *web_tone_table();
int web_tone_steps();
// The beam's spot at this size and focus as the CPU tube works it out
// (host/tube/beam_profile.h), for the WebGL2 tube to light alike: 512 rows,
// the 256 coordinates across (x), then the 256 down (y, rows from the top),
// each row the first pixel the spot reaches, then its web_profile_taps()
// shares, then its edge over the same pixels. Floats.
const float *web_profile(int size, double focus);
int web_profile_taps();
}
