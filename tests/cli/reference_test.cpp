// pc-snake's frames against pictures stored once from its verified output, so
// that a change in the raster or the image writer, which every program shares
// and every comparison of one program with another would miss, shows here.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/image_compare.h"
#include "tests/support/image_decode.h"
#include "tests/support/run_program.h"

namespace {

// Per level: the first frame, a meal, the crash, and the rising "Game over!".
struct reference_t {
    int level;
    long frame;
};
constexpr reference_t REFERENCES[] = {
    {1, 1}, {1, 112}, {1, 336}, {1, 1000}, {2, 1}, {2, 112}, {2, 336}, {2, 1000},
    {3, 1}, {3, 112}, {3, 308}, {3, 1000}, {4, 1}, {4, 112}, {4, 308}, {4, 1000},
};

TEST(Reference, PcSnakeDrawsTheStoredFrames)
{
    for (const reference_t &r : REFERENCES) {
        const std::string name =
            "level" + std::to_string(r.level) + "_frame" + std::to_string(r.frame);
        const run_t run =
            run_program(PC_SNAKE_BIN, std::to_string(r.level) + " " + std::to_string(r.frame));
        ASSERT_EQ(run.status, 0) << name << ": " << run.err;
        EXPECT_TRUE(same_as_reference(name, decode_ppm(run.out)));
    }
    if (recording_references())
        GTEST_SKIP() << "references recorded, not compared";
}

} // namespace
