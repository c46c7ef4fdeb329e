// The exact look across frames: each frame heard is lit into an afterglow as
// pc-snake lights its last frame, and the screen keeps the brighter of that
// frame and its own glow faded by the persistence, as snake-play's exact
// look does. With no persistence the screen is exactly the frame: pc-snake's
// picture of it.
#pragma once

// Below this a trail has ended and is set to 0 (the screen shows black up to
// 16 / 255), as in snake-play.
inline constexpr double WEB_GLOW_FLOOR = 1.0 / 1024;

// Registers the listener; once, when the module starts.
void web_glow_listen();

extern "C" {
// The glow's half-life in ms (0: each frame alone), and how long a frame
// lasts: frame_ms, or when that is 0 its own ticks at tick_rate.
void web_glow_set(double persistence_ms, double frame_ms, int tick_rate);
// Forgets the glow: the game goes back, or leaps past what it showed.
void web_glow_clear();
// Frames to play before a frame whose picture must be as if the game had
// been shown from its start: all older glow has fallen below the floor.
int web_glow_history();
// The picture: 256 x 256 RGBA.
const unsigned char *web_exact_rgba();
}
