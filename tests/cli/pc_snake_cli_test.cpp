// pc-snake run as a user runs it, through the shell.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>

#include "tests/support/run_program.h"

namespace {

run_t run(const std::string &tail, const std::string &out_target = "")
{
    return run_program(PC_SNAKE_BIN, tail, out_target);
}

// Entry (x, y) of a P3 image: rows from y 255 down, three numbers per entry.
std::string entry(const std::string &image, int x, int y)
{
    std::istringstream in(image);
    std::string line, r, g, b;
    for (int i = 0; i < 3 + (256 - y); ++i)
        std::getline(in, line);
    std::istringstream row(line);
    for (int i = 0; i <= x; ++i)
        row >> r >> g >> b;
    return r + " " + g + " " + b + " ";
}

TEST(Cli, WrongArgumentsPrintTheUsageText)
{
    // Arguments, then level and frame as they stand after the parse.
    const std::tuple<const char *, int, int> cases[] = {
        {"5 10", 5, 10}, {"0 10", 0, 10}, {"2 0", 2, 0}, {"2 -3", 2, -3},
        {"", 0, 0},      {"1 1 1", 0, 0}, {"x y", 0, 0}};
    for (const auto &[args, level, frame] : cases) {
        const run_t r = run(args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_EQ(r.err, "\nVerwendung:\n" + std::string(PC_SNAKE_BIN) +
                             " <level> <frame>\n    level in 1..4 anstatt " +
                             std::to_string(level) + "\n    frame > 0     anstatt " +
                             std::to_string(frame) + "\n");
    }
}

TEST(Cli, FirstFrameShowsWallHeadAndBody)
{
    const run_t r = run("1 1");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    ASSERT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 3 + 256);
    // The first step moves the head down to (128, 127); its mark skips the
    // centre and the point behind it, where the body starts and runs up to
    // (128, 147). The wall starts and ends at (44, 52), so that corner is hit
    // twice; the points between two wall ticks are filled with 0.4.
    const std::tuple<int, int, const char *> cases[] = {
        // clang-format off
        {128, 126, "0 192 80 "}, {127, 128, "0 192 80 "}, {129, 128, "0 192 80 "},
        {128, 127, "0 0 0 "}, {128, 128, "0 192 80 "}, {128, 147, "0 192 80 "},
        {128, 148, "0 0 0 "}, {44, 52, "0 240 96 "}, {48, 52, "0 192 80 "}, {45, 52, "0 96 32 "},
        {44, 53, "0 96 32 "}, {204, 180, "0 192 80 "}, {44, 180, "0 192 80 "},
        {64, 80, "0 0 0 "}, // the food is accepted only at the next frame start
        // clang-format on
    };
    for (const auto &[x, y, text] : cases)
        EXPECT_EQ(entry(r.out, x, y), text) << "(" << x << "," << y << ")";
}

TEST(Cli, OtherRunsEndAsTheyShould)
{
    const run_t hex = run("0x2 10");
    EXPECT_EQ(hex.status, 0);
    EXPECT_EQ(hex.err, "");
    EXPECT_EQ(hex.out.rfind("P3\n256 256\n255\n", 0), 0u);
    if (std::filesystem::exists("/dev/full")) {
        const run_t full = run("1 1", "/dev/full");
        EXPECT_EQ(full.status, 4);
        EXPECT_NE(full.err, "");
    }
    // A reader that stops early must not leave pc-snake hanging.
    const run_t piped = run("1 1 | head -c 10");
    EXPECT_EQ(piped.status, 0);
    EXPECT_EQ(piped.out, "P3\n256 256");
}

TEST(Cli, TheLastFrameNumberIsAnswered)
{
    // Playing every frame would take hours, far beyond the run's 60 seconds.
    // Long after the crash only "Game over!" moves, one line every second
    // frame round the screen, so the game repeats every 512 frames and
    // 2147483647 = 1535 + 512 * 4194301 shows what frame 1535 shows (which is
    // played out frame by frame: the period is known only from frame 1345 on).
    for (const char *level : {"1", "2", "3", "4"}) {
        SCOPED_TRACE(level);
        const run_t far = run(std::string(level) + " 2147483647");
        ASSERT_EQ(far.status, 0);
        EXPECT_EQ(far.err, "");
        EXPECT_EQ(far.out.rfind("P3\n256 256\n255\n", 0), 0u);
        EXPECT_EQ(std::count(far.out.begin(), far.out.end(), '\n'), 3 + 256);
        EXPECT_EQ(std::count(far.out.begin(), far.out.end(), ' '), 1 + 256 * 256 * 3);
        EXPECT_TRUE(far.out == run(std::string(level) + " 1535").out);
    }
}

} // namespace
