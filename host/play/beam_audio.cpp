#include "host/play/beam_audio.h"

#include <algorithm>

void queue_push(audio_queue_t *q, const std::vector<float> &values)
{
    if (q->head > q->values.size() / 2) { // keep the taken part from growing
        q->values.erase(q->values.begin(),
                        q->values.begin() + static_cast<std::ptrdiff_t>(q->head));
        q->head = 0;
    }
    q->values.insert(q->values.end(), values.begin(), values.end());
}

std::int64_t queue_samples(const audio_queue_t &q)
{
    return static_cast<std::int64_t>((q.values.size() - q.head) /
                                     static_cast<std::size_t>(q.channels));
}

void queue_pull(audio_queue_t *q, float *out, std::size_t samples)
{
    const std::size_t wanted = samples * static_cast<std::size_t>(q->channels);
    const std::size_t given = std::min(wanted, q->values.size() - q->head);
    std::copy_n(q->values.begin() + static_cast<std::ptrdiff_t>(q->head), given, out);
    std::fill(out + given, out + wanted, 0.0f);
    q->head += given;
    if (given < wanted && q->running)
        ++q->underruns;
}

const std::vector<float> &stream_next(beam_stream_t *s, bool frame_finished)
{
    s->out.clear();
    if (frame_finished) {
        s->last = s->beam.ticks();
        s->round.clear();
        s->signal.add(s->last);
        s->out.swap(s->signal.values());
    } else {
        if (s->round.empty())
            s->round = repeated_frame(s->signal.format(), s->last, stream_frame_samples(*s));
        s->out = s->round;
    }
    s->beam.clear();
    return s->out;
}

const std::vector<float> &stream_end(beam_stream_t *s)
{
    s->out.clear();
    s->signal.finish();
    s->out.swap(s->signal.values());
    return s->out;
}

std::int64_t stream_frame_samples(const beam_stream_t &s)
{
    return first_sample_of_tick(s.signal.format(), static_cast<std::int64_t>(s.last.size()));
}

double stream_frame_ms(const beam_stream_t &s)
{
    return 1000.0 * static_cast<double>(s.last.size()) /
           static_cast<double>(s.signal.format().tick_rate);
}

std::int64_t stream_low_mark(const beam_stream_t &s, std::int64_t device_buffer)
{
    return std::max(stream_frame_samples(s), 2 * device_buffer);
}

std::int64_t queue_wait_us(std::int64_t queued, std::int64_t low_mark, std::int64_t rate)
{
    if (queued < low_mark)
        return 0;
    const std::int64_t until = ((queued - low_mark + 1) * 1000000 + rate - 1) / rate;
    return (until + 1) / 2;
}
