// The signal on hand-made ticks, each expected sample worked out by hand:
// lit points, dark ticks waiting at the next lit point, the hold of a tick
// over several samples and the skip of ticks between samples, gain, swap, Z.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/signal/beam_signal.h"

namespace {

beam_point_t lit(std::uint8_t x, std::uint8_t y) { return {true, x, y}; }
const beam_point_t DARK{false, 0, 0};

// A point as its channel values at gain 1: (v - 127.5) / 128.
float at(int v) { return static_cast<float>((v - 127.5) / 128.0); }

signal_format_t format_of(std::int64_t tick_rate, std::int64_t rate, bool z = false)
{
    signal_format_t f;
    f.tick_rate = tick_rate;
    f.rate = rate;
    f.z = z;
    return f;
}

std::vector<float> samples_of(const signal_format_t &format, const std::vector<beam_point_t> &ticks)
{
    beam_signal_t signal(format);
    signal.add(ticks);
    signal.finish();
    return signal.values();
}

TEST(BeamSignal, SamplesFollowTheTicks)
{
    struct case_t {
        const char *what;
        signal_format_t format;
        std::vector<beam_point_t> ticks;
        std::vector<float> want; // interleaved
    };
    signal_format_t half_swapped = format_of(1, 1);
    half_swapped.gain = 0.5;
    half_swapped.swap = true;
    const case_t cases[] = {
        {"the ends of the range",
         format_of(1, 1),
         {lit(0, 255), lit(255, 0)},
         {-0.99609375f, 0.99609375f, 0.99609375f, -0.99609375f}},
        {"either side of the centre",
         format_of(1, 1),
         {lit(127, 128)},
         {-0.00390625f, 0.00390625f}},
        {"dark ticks wait at the next lit point, then at the last",
         format_of(1, 1, true),
         {DARK, DARK, lit(10, 20), DARK, lit(30, 40), DARK, DARK},
         {at(10), at(20), 0,      at(10), at(20), 0,      at(10), at(20), 1,      at(30), at(40),
          0,      at(30), at(40), 1,      at(30), at(40), 0,      at(30), at(40), 0}},
        // Tick k from sample ceil(8k / 3): samples 0-2, 3-5, 6-7.
        {"8 samples to 3 ticks hold each tick 3, 3 and 2 samples",
         format_of(3, 8),
         {lit(1, 2), lit(3, 4), lit(5, 6)},
         {at(1), at(2), at(1), at(2), at(1), at(2), at(3), at(4), at(3), at(4), at(3), at(4), at(5),
          at(6), at(5), at(6)}},
        // Sample n takes tick floor(5n / 2): 0, 2, 5; ceil(6 * 2 / 5) = 3 samples.
        {"2 samples to 5 ticks skip ticks between them",
         format_of(5, 2),
         {lit(0, 0), lit(1, 1), lit(2, 2), lit(3, 3), lit(4, 4), lit(5, 5)},
         {at(0), at(0), at(2), at(2), at(5), at(5)}},
        {"a dark tick between samples waits at the next lit point",
         format_of(5, 2),
         {lit(0, 0), DARK, DARK, DARK, lit(4, 4), lit(5, 5)},
         {at(0), at(0), at(4), at(4), at(5), at(5)}},
        {"gain and swap", half_swapped, {lit(255, 0)}, {-0.498046875f, 0.498046875f}},
        {"nothing lit waits at the centre", format_of(1, 1), {DARK, DARK}, {0, 0, 0, 0}},
    };
    for (const case_t &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(samples_of(c.format, c.ticks), c.want);
    }
}

TEST(BeamSignal, ARepeatedFrameWaitsAtItsOwnFirstPointAtTheEnd)
{
    // D L1 D L2 D: the last dark tick waits for the next round's L1.
    const std::vector<beam_point_t> frame = {DARK, lit(1, 1), DARK, lit(2, 2), DARK};
    const std::vector<float> got = repeated_frame(format_of(1, 1), frame, 8);
    const int want[] = {1, 1, 2, 2, 1, 1, 1, 2};
    ASSERT_EQ(got.size(), 16u);
    for (std::size_t n = 0; n < 8; ++n) {
        EXPECT_EQ(got[2 * n], at(want[n])) << "sample " << n;
        EXPECT_EQ(got[2 * n + 1], at(want[n])) << "sample " << n;
    }
    EXPECT_TRUE(repeated_frame(format_of(1, 1), {}, 8).empty());
    EXPECT_EQ(repeated_frame(format_of(1, 1), {DARK}, 3), std::vector<float>(6, 0.0f));
}

} // namespace
