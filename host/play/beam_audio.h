// snake-play's beam as live XY audio, without the sound device: each frame's
// beam becomes samples as the frame is played; while nothing moves the last
// frame goes round again, since a beam at rest burns a dot into a tube; and
// the queue that the device pulls from tells when the next frame is due, so
// that the frames keep the pace of the sound. The device (play_audio.cpp)
// pulls from the queue on its own thread, under its lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/signal/beam_signal.h"
#include "host/signal/frame_beam.h"

// Samples on their way to the device, oldest first.
struct audio_queue_t {
    int channels = 2;
    std::vector<float> values; // interleaved; those before `head` are taken
    std::size_t head = 0;
    bool running = false;       // the device plays and more is to come: a short pull is an underrun
    std::int64_t underruns = 0; // pulls that found less than they asked for while running
};

void queue_push(audio_queue_t *q, const std::vector<float> &values);
std::int64_t queue_samples(const audio_queue_t &q);

// Fills `out` with `samples` samples; what the queue lacks is silence.
void queue_pull(audio_queue_t *q, float *out, std::size_t samples);

// The beam of the frames played, as samples.
struct beam_stream_t {
    explicit beam_stream_t(const signal_format_t &format) : signal(format) {}

    frame_beam_t beam;              // the ticks of the frame being played
    beam_signal_t signal;           // all finished frames, one after the other
    std::vector<beam_point_t> last; // the last finished frame
    std::vector<float> round;       // its samples once round, when asked for
    std::vector<float> out;         // what stream_next hands out
};

// What to queue after a step of the session: the frame's beam when a frame
// was finished; otherwise (paused, stopped, or the frame broke off and is
// dropped) the last finished frame once round.
const std::vector<float> &stream_next(beam_stream_t *s, bool frame_finished);

// At the end: the samples of dark ticks still waiting for a lit one, at the
// last lit point.
const std::vector<float> &stream_end(beam_stream_t *s);

// The last finished frame's length in samples and in milliseconds.
std::int64_t stream_frame_samples(const beam_stream_t &s);
double stream_frame_ms(const beam_stream_t &s);

// Samples the queue holds before the next frame is due: one frame, but at
// least two of the device's buffers. So it holds at most about two frames.
std::int64_t stream_low_mark(const beam_stream_t &s, std::int64_t device_buffer);

// How long to wait before looking at the queue again: half the time until
// `queued` samples at `rate` have fallen below `low_mark` (the device's clock
// is not the computer's, and a wait ends late rather than early); 0 once they
// have.
std::int64_t queue_wait_us(std::int64_t queued, std::int64_t low_mark, std::int64_t rate);
