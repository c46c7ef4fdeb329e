// snake-play's live beam audio without a device, on hand-made frames sent
// through the raster: what is queued after each step, the queue's pulls and
// underruns, and when the next frame is due.
#include <gtest/gtest.h>

#include <vector>

#include "host/play/beam_audio.h"
#include "host/sim/beam_raster.h"

namespace {

beam_point_t lit(std::uint8_t v) { return {true, v, v}; }
const beam_point_t DARK{false, 0, 0};

snake_t game; // only its painter state matters to the raster

// A frame's beam operations on the raster, recorded as snake-play records all.
void send_frame(std::int64_t number, const std::vector<beam_point_t> &ticks)
{
    raster_watch(&game);
    game.paint_state = PAINT_FOOD; // no wall joins
    raster_begin_frame(number, frame_use_t::asked);
    beam.tick = 0;
    for (const beam_point_t &t : ticks)
        t.lit ? beam_xy(t.x, t.y) : beam_skip();
}

// Samples at (v, v), as channel values.
std::vector<float> at(std::initializer_list<int> points)
{
    std::vector<float> values;
    for (int v : points) {
        values.push_back(static_cast<float>((v - 127.5) / 128.0));
        values.push_back(static_cast<float>((v - 127.5) / 128.0));
    }
    return values;
}

TEST(BeamAudio, FramesAreQueuedAsPlayedAndTheLastGoesRoundWhileNothingMoves)
{
    signal_format_t one_a_tick;
    one_a_tick.tick_rate = 1000;
    one_a_tick.rate = 1000;
    beam_stream_t stream(one_a_tick);

    send_frame(1, {DARK, lit(10), lit(20), DARK});
    // The last dark tick waits for the next frame's first lit point.
    EXPECT_EQ(stream_next(&stream, true), at({10, 10, 20}));
    EXPECT_EQ(stream_frame_samples(stream), 4);
    EXPECT_DOUBLE_EQ(stream_frame_ms(stream), 4.0);

    send_frame(2, {DARK, lit(99)}); // broke off: never heard
    const std::vector<float> round = at({10, 10, 20, 10});
    EXPECT_EQ(stream_next(&stream, false), round) << "frame 1 once round";
    EXPECT_EQ(stream_next(&stream, false), round) << "paused: frame 1 again";

    send_frame(3, {lit(30), DARK});
    EXPECT_EQ(stream_next(&stream, true), at({30, 30}));
    EXPECT_EQ(stream_end(&stream), at({30})) << "at the end, the last lit point";
}

TEST(BeamAudio, TheQueueFillsShortPullsWithSilenceAndCountsThemWhileRunning)
{
    audio_queue_t q;
    q.channels = 2;
    queue_push(&q, {1, 2, 3, 4, 5, 6});
    float out[4] = {9, 9, 9, 9};
    queue_pull(&q, out, 2);
    EXPECT_EQ(std::vector<float>(out, out + 4), (std::vector<float>{1, 2, 3, 4}));
    EXPECT_EQ(queue_samples(q), 1);
    queue_push(&q, {7, 8}); // after the taken part is dropped, order holds
    queue_pull(&q, out, 2);
    EXPECT_EQ(std::vector<float>(out, out + 4), (std::vector<float>{5, 6, 7, 8}));
    queue_pull(&q, out, 2);
    EXPECT_EQ(q.underruns, 0) << "before the start and after the end a short pull is no underrun";
    q.running = true;
    queue_push(&q, {1, 1});
    queue_pull(&q, out, 2);
    EXPECT_EQ(std::vector<float>(out, out + 4), (std::vector<float>{1, 1, 0, 0}));
    EXPECT_EQ(q.underruns, 1);
    EXPECT_EQ(queue_samples(q), 0);
}

TEST(BeamAudio, AFrameIsDueWhenTheQueueFallsBelowOneFrame)
{
    struct case_t {
        std::int64_t queued, low, rate, wait_us;
    };
    const case_t cases[] = {
        {100, 300, 8000, 0},     {299, 300, 8000, 0},
        {300, 300, 8000, 63},    // one sample to go, 125 us at 8 kHz: look again halfway
        {400, 300, 8000, 6313},  // 101 samples, 12625 us
        {1076, 1076, 192000, 3}, // 5.2 us, rounded up, then halved up
    };
    for (const case_t &c : cases)
        EXPECT_EQ(queue_wait_us(c.queued, c.low, c.rate), c.wait_us) << c.queued;

    // 560 ticks at 100000 a second last 1075.2 samples at 192 kHz: 1076; the
    // queue holds one frame, or two device buffers when those are longer.
    beam_stream_t stream(signal_format_t{});
    send_frame(1, std::vector<beam_point_t>(560, lit(1)));
    stream_next(&stream, true);
    EXPECT_EQ(stream_low_mark(stream, 512), 1076);
    EXPECT_EQ(stream_low_mark(stream, 1024), 2048);
}

} // namespace
