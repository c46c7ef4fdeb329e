// The beam as two DAC channels, the way a sound card can drive an
// oscilloscope in XY mode: beam ticks in, audio samples out. Each tick holds
// its position for 1 / tick_rate seconds; sample n takes the tick in force at
// n / rate. A dark tick moves the beam blanked to the next lit point and waits
// there, so a real tube burns no dot where the beam rests. No library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/sim/beam_budget.h"

inline constexpr std::int64_t SIGNAL_TICK_RATE_DEFAULT = BEAM_TICK_RATE_DEFAULT;
inline constexpr std::int64_t SIGNAL_RATE_DEFAULT = 192000;

// One beam tick as the signal sees it.
struct beam_point_t {
    bool lit;          // a lit point at (x, y); otherwise a dark tick
    std::uint8_t x, y; // y upwards, as on the screen
};

struct signal_format_t {
    std::int64_t tick_rate = SIGNAL_TICK_RATE_DEFAULT; // beam ticks per second
    std::int64_t rate = SIGNAL_RATE_DEFAULT;           // samples per second
    double gain = 1.0;                                 // scales X and Y, 0 < gain <= 1
    bool swap = false;                                 // Y on the first channel, X on the second
    bool z = false; // a third channel: 1 on a lit tick, 0 on a dark one
};

// Values per sample: X and Y, and Z when asked for.
int signal_channels(const signal_format_t &format);

// A coordinate as a channel value: gain * (v - 127.5) / 128.
float signal_level(const signal_format_t &format, std::uint8_t v);

// The first sample that tick k (0 for the first) is in force at:
// ceil(k * rate / tick_rate).
std::int64_t first_sample_of_tick(const signal_format_t &format, std::int64_t k);

// Ticks in, interleaved samples out. A dark tick's samples are held back
// until the next lit tick tells where the beam waits, so a run of ticks
// given in pieces (frame by frame) gives the same samples as given at once.
class beam_signal_t {
  public:
    explicit beam_signal_t(const signal_format_t &format);

    void add(const beam_point_t &tick);
    void add(const std::vector<beam_point_t> &ticks);

    // The end of the run: dark ticks still held back wait at the last lit
    // point (at the centre if nothing was lit).
    void finish();

    // The samples made so far and not yet taken, signal_channels() values
    // each; the caller takes them by clearing or swapping the vector.
    std::vector<float> &values() { return values_; }

    std::int64_t ticks_added() const { return ticks_resolved_ + dark_held_; }
    std::int64_t samples_made() const { return first_sample_of_tick(format_, ticks_resolved_); }
    const signal_format_t &format() const { return format_; }

  private:
    void emit(std::int64_t ticks, float x, float y, bool lit);

    signal_format_t format_;
    int channels_;
    std::int64_t ticks_resolved_ = 0; // ticks whose samples are made
    std::int64_t dark_held_ = 0;      // dark ticks after them, waiting for a lit one
    float last_x_ = 0.0f;             // the last lit point as channel values
    float last_y_ = 0.0f;
    std::vector<float> values_;
};

// A frame's beam over and over, cut after `samples` samples; the dark ticks
// at its end wait at its own first lit point, as in the next round.
std::vector<float> repeated_frame(const signal_format_t &format,
                                  const std::vector<beam_point_t> &frame, std::int64_t samples);

// The same values handed to `take` in pieces of about `piece` values, so that
// a long stretch needs no more memory than a piece; take may clear them.
void repeat_frame(const signal_format_t &format, const std::vector<beam_point_t> &frame,
                  std::int64_t samples, std::size_t piece,
                  void (*take)(void *context, std::vector<float> &values), void *context);
