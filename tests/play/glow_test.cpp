// The afterglow alone: how fast it fades (by half a half-life later), that
// trails end, and that a steady point keeps its brightness.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "host/play/glow.h"
#include "host/sim/afterglow.h"
#include "host/tube/tube_settings.h"

namespace {

struct buffers_t {
    glow_t glow{};
    glow_t frame{}; // one frame's points, as the raster leaves them
};

TEST(Glow, PointLitOnceFadesToBlack)
{
    auto b = std::make_unique<buffers_t>();
    const std::size_t at = 40 * SCREEN_SIDE + 200;
    b->frame[at] = BEAM_WEIGHT_POINT;
    const double d = decay_after(20.0, 80.0);
    glow_add_frame(b->glow, b->frame.data(), d);
    EXPECT_EQ(b->glow[at], BEAM_WEIGHT_POINT);
    b->frame[at] = 0.0;

    // 0.8 d^n falls below the floor after n > log(floor / 0.8) / log(d) frames.
    const int frames_to_floor =
        static_cast<int>(std::floor(std::log(GLOW_FLOOR / BEAM_WEIGHT_POINT) / std::log(d))) + 1;
    double last = b->glow[at];
    for (int n = 1; n <= frames_to_floor; ++n) {
        glow_add_frame(b->glow, b->frame.data(), d);
        ASSERT_LT(b->glow[at], last) << "frame " << n;
        last = b->glow[at];
    }
    EXPECT_EQ(b->glow[at], 0.0);
    // A half-life later it is half as bright: 4 frames of 20 ms at 80 ms.
    b->glow[at] = 0.5;
    for (int n = 0; n < 4; ++n)
        glow_add_frame(b->glow, b->frame.data(), d);
    EXPECT_NEAR(b->glow[at], 0.25, 1e-12);
}

TEST(Glow, PointLitEveryFrameStaysSteady)
{
    auto b = std::make_unique<buffers_t>();
    const std::size_t wall = 44 * SCREEN_SIDE + 100;
    b->frame[wall] = BEAM_WEIGHT_FILLED;
    for (const double persistence : {20.0, 80.0, 1000.0}) {
        b->glow.fill(0.0);
        for (int n = 0; n < 200; ++n) {
            glow_add_frame(b->glow, b->frame.data(), decay_after(20.0, persistence));
            ASSERT_EQ(b->glow[wall], BEAM_WEIGHT_FILLED) << persistence << " ms, frame " << n;
        }
    }
}

TEST(Glow, WithoutPersistenceTheGlowIsTheFrame)
{
    auto b = std::make_unique<buffers_t>();
    for (std::size_t i = 0; i < b->glow.size(); i += 7)
        b->glow[i] = 0.9; // an earlier frame
    for (std::size_t i = 0; i < b->frame.size(); i += 5)
        b->frame[i] = 0.96;
    glow_add_frame(b->glow, b->frame.data(), decay_after(20.0, 0.0));
    EXPECT_EQ(b->glow, b->frame);
}

} // namespace
