// snake-play's sound device (SDL audio): the beam of every frame played as
// XY audio, live, and the clock the frames keep when the sound is on. The
// device asks for float samples at the signal's rate and takes the rate it is
// granted; it pulls from a queue that stays near one frame long.
#pragma once

#include <cstdint>
#include <string>

#include "host/signal/beam_signal.h"

struct live_audio_t;

// Opens the default sound device for `wanted`. On failure returns nullptr
// with the reason in *error; on success *said tells what was granted.
live_audio_t *live_audio_open(const signal_format_t &wanted, std::string *said, std::string *error);

// Microseconds until the next frame is due; 0 when it is.
std::int64_t live_audio_wait_us(live_audio_t *a);

// After a step of the session: the frame's beam when a frame was finished,
// otherwise the last frame once more. Starts the sound once the queue is full.
void live_audio_after_step(live_audio_t *a, bool frame_finished);

// The last frame's length, for the glow's fade.
double live_audio_frame_ms(const live_audio_t *a);

// Closes the device, with `drain` only once it has played everything.
// Returns the underruns: the times the device found the queue short.
std::int64_t live_audio_close(live_audio_t *a, bool drain);
