// The frame rate of a live game: tells when the next frame is due on a clock
// in microseconds. After a stall (a dragged window, a suspended process) it
// picks up from the present instead of racing through the missed frames.
#pragma once

#include <cstdint>

inline constexpr int PLAY_FPS_DEFAULT = 50; // the device's frame rate
inline constexpr int PLAY_FPS_MAX = 1000;
// Frames a pacer may fall behind before it gives them up.
inline constexpr std::int64_t PACER_MAX_BEHIND = 4;

struct frame_pacer_t {
    std::int64_t period_us = 0; // time per frame; 0 runs unthrottled
    std::int64_t next_us = 0;   // when the next frame is due
    bool started = false;       // next_us is set by a first frame
};

// A pacer for fps frames per second (0: every frame due at once).
frame_pacer_t pacer_for_fps(int fps);

// Microseconds until the next frame is due at `now_us`; 0 if it is due.
std::int64_t pacer_wait_us(const frame_pacer_t &p, std::int64_t now_us);

// A frame was started at now_us: the one after it is due one period after the
// one just started, or one period from now after a stall.
void pacer_frame_started(frame_pacer_t *p, std::int64_t now_us);
