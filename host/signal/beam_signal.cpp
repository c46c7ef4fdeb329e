#include "host/signal/beam_signal.h"

#include <algorithm>
#include <utility>

int signal_channels(const signal_format_t &format) { return format.z ? 3 : 2; }

float signal_level(const signal_format_t &format, std::uint8_t v)
{
    return static_cast<float>(format.gain * (v - 127.5) / 128.0);
}

std::int64_t first_sample_of_tick(const signal_format_t &format, std::int64_t k)
{
    return (k * format.rate + format.tick_rate - 1) / format.tick_rate;
}

beam_signal_t::beam_signal_t(const signal_format_t &format)
    : format_(format), channels_(signal_channels(format))
{
}

void beam_signal_t::add(const beam_point_t &tick)
{
    if (!tick.lit) {
        ++dark_held_;
        return;
    }
    const float x = signal_level(format_, tick.x);
    const float y = signal_level(format_, tick.y);
    emit(dark_held_, x, y, false);
    dark_held_ = 0;
    emit(1, x, y, true);
    last_x_ = x;
    last_y_ = y;
}

void beam_signal_t::add(const std::vector<beam_point_t> &ticks)
{
    for (const beam_point_t &tick : ticks)
        add(tick);
}

void beam_signal_t::finish()
{
    emit(dark_held_, last_x_, last_y_, false);
    dark_held_ = 0;
}

// The samples of `ticks` ticks at one position, after those made so far.
void beam_signal_t::emit(std::int64_t ticks, float x, float y, bool lit)
{
    if (ticks == 0)
        return;
    const std::int64_t from = samples_made();
    ticks_resolved_ += ticks;
    const std::int64_t count = samples_made() - from;
    const float first = format_.swap ? y : x;
    const float second = format_.swap ? x : y;
    const std::size_t at = values_.size();
    values_.resize(at + static_cast<std::size_t>(count * channels_));
    for (float *out = values_.data() + at; out != values_.data() + values_.size();
         out += channels_) {
        out[0] = first;
        out[1] = second;
        if (channels_ == 3)
            out[2] = lit ? 1.0f : 0.0f;
    }
}

void repeat_frame(const signal_format_t &format, const std::vector<beam_point_t> &frame,
                  std::int64_t samples, std::size_t piece,
                  void (*take)(void *context, std::vector<float> &values), void *context)
{
    if (frame.empty())
        return;
    const bool any_lit =
        std::any_of(frame.begin(), frame.end(), [](const beam_point_t &t) { return t.lit; });
    const auto channels = static_cast<std::size_t>(signal_channels(format));
    beam_signal_t signal(format);
    std::int64_t taken = 0; // samples handed over
    // Samples are made only up to the last lit tick, so the round after the
    // cut settles where the dark ticks before it wait.
    while (taken < samples) {
        signal.add(frame);
        if (!any_lit)
            signal.finish();
        std::vector<float> &values = signal.values();
        const auto made = static_cast<std::int64_t>(values.size() / channels);
        if (taken + made < samples && values.size() < piece)
            continue;
        const std::int64_t kept = std::min(made, samples - taken);
        values.resize(static_cast<std::size_t>(kept) * channels);
        taken += kept;
        take(context, values);
        values.clear();
    }
}

std::vector<float> repeated_frame(const signal_format_t &format,
                                  const std::vector<beam_point_t> &frame, std::int64_t samples)
{
    std::vector<float> all;
    repeat_frame(
        format, frame, samples, static_cast<std::size_t>(-1),
        [](void *to, std::vector<float> &values) {
            static_cast<std::vector<float> *>(to)->swap(values);
        },
        &all);
    return all;
}
