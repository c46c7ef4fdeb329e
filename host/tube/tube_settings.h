// The two looks of the pictures, and the knobs of the tube look with their
// bounds and defaults, in one place for both programs' options and the look
// itself; and how long a frame lasts for the phosphor's decay.
#pragma once

#include <cmath>

#include "host/sim/beam_budget.h"

// exact: one cell per point with the module's afterglow weights, as pc-snake
// draws it; tube: a glowing phosphor.
enum class look_t { exact, tube };

// Pixels a side of the tube's picture.
inline constexpr int TUBE_SIZE_MIN = 256;
inline constexpr int TUBE_SIZE_MAX = 2048;
inline constexpr int TUBE_SIZE_DEFAULT = 1024;

// The spot's standard deviation in screen points (256 a side).
inline constexpr double TUBE_FOCUS_MIN = 0.2;
inline constexpr double TUBE_FOCUS_MAX = 4.0;
inline constexpr double TUBE_FOCUS_DEFAULT = 0.6;

// A factor on the exposure.
inline constexpr double TUBE_BRIGHTNESS_MIN = 0.01;
inline constexpr double TUBE_BRIGHTNESS_MAX = 100.0;

// The stored light's half-life; 0 shows each frame alone.
inline constexpr double TUBE_PERSISTENCE_DEFAULT_MS = 100.0;
inline constexpr double TUBE_PERSISTENCE_MAX_MS = 10000.0;

// The weight of the halo.
inline constexpr double TUBE_GLOW_MAX = 4.0;
inline constexpr double TUBE_GLOW_DEFAULT = 0.3;

// A frame's time with --fixed-frame: the display's 50 frames a second.
inline constexpr double FIXED_FRAME_MS = 20.0;

struct tube_settings_t {
    int size = TUBE_SIZE_DEFAULT;
    double focus = TUBE_FOCUS_DEFAULT;
    double brightness = 1.0;
    double persistence_ms = TUBE_PERSISTENCE_DEFAULT_MS;
    double glow = TUBE_GLOW_DEFAULT;
    int tick_rate = BEAM_TICK_RATE_DEFAULT; // Hz
    bool fixed_frame = false;               // every frame lasts FIXED_FRAME_MS, not its ticks
    // A frame's time as a program shows it (snake-play's window: 1000 / fps),
    // which the light fades by; 0 for the frame's ticks at tick_rate.
    double frame_ms = 0.0;
};

// What is left of light after `ms` milliseconds with a half-life of
// `half_life_ms`: 2^(-ms / half_life_ms); nothing with no persistence.
inline double decay_after(double ms, double half_life_ms)
{
    return half_life_ms <= 0.0 ? 0.0 : std::exp2(-ms / half_life_ms);
}

// How long a frame of `ticks` beam ticks lasts.
inline double tube_frame_ms(const tube_settings_t &s, int ticks)
{
    if (s.fixed_frame)
        return FIXED_FRAME_MS;
    return s.frame_ms > 0.0 ? s.frame_ms : 1000.0 * ticks / s.tick_rate;
}
