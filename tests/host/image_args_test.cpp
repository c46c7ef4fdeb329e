// The image writer on a buffer in memory, and the command-line parsing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "host/image/ppm.h"
#include "host/pc-snake/args.h"

namespace {

// The image's rows, top (y 255) first, after checking the header.
std::vector<std::string> image_rows(const std::vector<double> &pixel)
{
    std::string out;
    write_ppm(pixel.data(), out);
    EXPECT_EQ(out.rfind("P3\n256 256\n255\n", 0), 0u);
    std::vector<std::string> rows;
    for (std::size_t pos = 0, nl; (nl = out.find('\n', pos)) != std::string::npos; pos = nl + 1)
        rows.push_back(out.substr(pos, nl - pos));
    EXPECT_EQ(out.back(), '\n');
    return {rows.begin() + 3, rows.end()};
}

// Entry x of row y; the blanks between entries are checked separately.
std::string entry(const std::vector<std::string> &rows, int x, int y)
{
    std::istringstream row(rows.at(255 - y));
    std::string r, g, b;
    for (int i = 0; i <= x; ++i)
        row >> r >> g >> b;
    return r + " " + g + " " + b + " ";
}

TEST(Image, HasThreeHeaderLinesAndFullRows)
{
    const auto rows = image_rows(std::vector<double>(256 * 256, 0.0));
    ASSERT_EQ(rows.size(), 256u);
    for (const std::string &row : rows) {
        ASSERT_FALSE(row.empty());
        EXPECT_EQ(row.back(), ' ');
        EXPECT_NE(row.front(), ' ');
        EXPECT_EQ(std::count(row.begin(), row.end(), ' '), 3 * 256);
        EXPECT_EQ(row.find("  "), std::string::npos);
    }
}

TEST(Image, MasksTheDiscAndColoursTheAfterglow)
{
    // Channels: v * 255 and v * 100 truncated, then & 0xF0.
    const std::tuple<int, int, double, const char *> cases[] = {
        // clang-format off
        {0, 255, 0.8, "60 50 50 "}, {255, 0, 0.0, "60 50 50 "},
        {213, 221, 0.8, "0 192 80 "}, // 85² + 93² = 15874, the largest inside
        {2, 128, 0.8, "60 50 50 "},   // 126² = 15876, the smallest outside
        {128, 3, 0.0, "0 0 0 "}, {128, 2, 0.8, "60 50 50 "},
        {100, 30, 0.8, "0 192 80 "}, {30, 100, 0.0, "0 0 0 "}, // element x * 256 + y
        {128, 128, 0.4, "0 96 32 "}, {140, 128, 0.96, "0 240 96 "}, {141, 128, 1.0, "0 240 96 "},
        {142, 128, 0.0627, "0 0 0 "}, // 15.99 and 6.27 truncate, not round
        {143, 128, 0.063, "0 16 0 "},
        // clang-format on
    };
    std::vector<double> pixel(256 * 256, 0.0);
    for (const auto &[x, y, v, text] : cases)
        pixel[x * 256 + y] = v;
    const auto rows = image_rows(pixel);
    for (const auto &[x, y, v, text] : cases)
        EXPECT_EQ(entry(rows, x, y), text) << "(" << x << "," << y << ")";
}

TEST(Image, EveryEntryFollowsTheRuleWhateverItsNeighbours)
{
    // Values that change from one point to the next and reach every shade, so
    // no entry can lean on the one before or on a colour seen earlier; the
    // text is appended to what the string already holds.
    std::vector<double> pixel(256 * 256);
    for (int x = 0; x < 256; ++x)
        for (int y = 0; y < 256; ++y)
            pixel[x * 256 + y] = ((x * 37 + y * 101) % 257) / 256.0;
    std::string expected = "kept|P3\n256 256\n255\n";
    char text[32];
    for (int y = 255; y >= 0; --y) {
        for (int x = 0; x < 256; ++x) {
            const double v = pixel[x * 256 + y];
            if ((x - 128) * (x - 128) + (y - 128) * (y - 128) > 15875)
                expected += "60 50 50 ";
            else {
                std::snprintf(text, sizeof text, "%d %d %d ", static_cast<int>(v * 0) & 0xF0,
                              static_cast<int>(v * 255) & 0xF0, static_cast<int>(v * 100) & 0xF0);
                expected += text;
            }
        }
        expected += '\n';
    }
    std::string out = "kept|";
    write_ppm(pixel.data(), out);
    EXPECT_TRUE(out == expected); // 440 KB: no dump of both on failure
    EXPECT_EQ(out.size(), expected.size());
}

TEST(Args, ScanIntReadsLikePercentI)
{
    // Text, whether it parses, and the value when it does.
    const std::tuple<const char *, bool, std::int32_t> cases[] = {
        // clang-format off
        {"1", true, 1}, {"4", true, 4}, {"0x2", true, 2}, {"0X1f", true, 31}, {"010", true, 8},
        {"08", true, 0}, // 8 is no octal digit
        {"-3", true, -3}, {"+5", true, 5}, {" 7", true, 7}, {"12abc", true, 12},
        {"-0x10", true, -16}, {"2147483647", true, 2147483647}, {"-2147483648", true, INT32_MIN},
        {"abc", false, 0}, {"", false, 0}, {"-", false, 0}, {"2147483648", false, 0},
        {"-2147483649", false, 0}, {"0x80000000", false, 0}, {"99999999999", false, 0},
        // clang-format on
    };
    for (const auto &[text, ok, value] : cases) {
        std::int32_t v = 77;
        EXPECT_EQ(scan_int(text, &v), ok) << '"' << text << '"';
        EXPECT_EQ(v, ok ? value : 77) << '"' << text << '"';
    }
}

TEST(Args, ScanIntSkipsEachBlankBeforeTheNumber)
{
    // A character put twice before "0x1f", and whether "%i" skips it as a
    // blank; other control characters end the parse.
    const std::pair<char, bool> cases[] = {{' ', true},   {'\t', true},    {'\n', true},
                                           {'\v', true},  {'\f', true},    {'\r', true},
                                           {'\b', false}, {'\x1c', false}, {'\x7f', false}};
    for (const auto &[c, blank] : cases) {
        const std::string text = std::string(2, c) + "0x1f";
        std::int32_t v = 77;
        EXPECT_EQ(scan_int(text.c_str(), &v), blank) << int(c);
        EXPECT_EQ(v, blank ? 31 : 77) << int(c);
    }
}

TEST(Args, ParseArgsAcceptsTwoNumbersInRange)
{
    // Words, whether they may run, then level and frame (0 where not parsed).
    const std::tuple<std::vector<const char *>, bool, std::int32_t, std::int32_t> cases[] = {
        // clang-format off
        {{"p", "1", "1"}, true, 1, 1}, {{"p", "4", "330"}, true, 4, 330},
        {{"p", "0x2", "10"}, true, 2, 10}, {{"p", "5", "10"}, false, 5, 10},
        {{"p", "0", "10"}, false, 0, 10}, {{"p", "-1", "10"}, false, -1, 10},
        {{"p", "2", "0"}, false, 2, 0}, {{"p", "2", "-3"}, false, 2, -3},
        {{"p", "x", "10"}, false, 0, 10}, {{"p", "2", "y"}, false, 2, 0},
        {{"p"}, false, 0, 0}, {{"p", "1"}, false, 0, 0}, {{"p", "1", "1", "1"}, false, 0, 0},
        // clang-format on
    };
    for (const auto &[argv, ok, want_level, want_frame] : cases) {
        std::int32_t level = 0, frame = 0;
        const int argc = static_cast<int>(argv.size());
        EXPECT_EQ(parse_args(argc, argv.data(), &level, &frame), ok) << argc << " words";
        EXPECT_EQ(level, want_level);
        EXPECT_EQ(frame, want_frame);
    }
}

} // namespace
