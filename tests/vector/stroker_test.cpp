#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "tests/vector/beam_recorder.h"

namespace {

using namespace beam_rec;

calls_t shifted(calls_t calls, int dx, int dy)
{
    for (call_t &call : calls)
        for (op_t &op : call)
            if (op != DARK)
                op = {op.first + dx, op.second + dy};
    return calls;
}

// One token per call: '*' for a dark tick, then "x,y" for a lit point or '.' for none.
calls_t parse(const char *s)
{
    calls_t calls;
    std::istringstream in(s);
    for (std::string tok; in >> tok;) {
        call_t &call = calls.emplace_back();
        if (tok[0] == '*')
            call.push_back(DARK);
        int x, y;
        if (std::sscanf(tok.c_str() + (tok[0] == '*'), "%d,%d", &x, &y) == 2)
            call.emplace_back(x, y);
    }
    return calls;
}

// Where a fallback glyph '#' set after c begins: c's advance from x 0.
int advance(char c, int size, int prop)
{
    const char text[3] = {c, '#', 0};
    const calls_t calls = stroke(text, 0, 0, size, prop);
    return calls.at(calls.size() - 2).back().first - (size - 1); // '#' is size points wide
}

TEST(Stroker, SendsTheDecodedBeamOperations)
{
    // The last calls of the text, the ending call included, and how many calls in all.
    struct {
        const char *text;
        int x0, y0, size;
        std::size_t total;
        const char *tail;
    } const cases[] = {
        {"1", 0, 0, 1, 12, "*1,0 2,0 3,0 *0,4 1,5 2,6 2,5 2,4 2,3 2,2 2,1 ."},
        {"!", 0, 0, 1, 6, "*1,1 *1,6 1,5 1,4 1,3 ."},
        // Stub up 2 points; bar 4 * 3 points from its start, then the stub down 2 more.
        {"!", 0, 0, 3, 17,
         "*3,1 3,2 *3,18 3,17 3,16 3,15 3,14 3,13 3,12 3,11 3,10 3,9 3,8 3,7 "
         "3,6 3,5 ."},
        // Squashed at size 3: y' = 3 * y >> 2; calls 12, 22 and 26 repeat a point and send nothing.
        {"e", 0, 0, 3, 37,
         "*1,4 2,4 3,4 4,4 5,4 6,4 7,4 8,4 9,4 9,5 9,6 . 8,7 7,8 6,9 5,9 4,9 3,9 "
         "2,8 1,7 0,6 . 0,5 0,4 0,3 . 0,2 1,1 2,0 3,0 4,0 5,0 6,0 7,0 8,0 9,0 ."},
        {"e", 0, 0, 1, 13, "*1,2 2,2 3,2 3,3 2,4 1,4 0,3 0,2 0,1 1,0 2,0 3,0 ."}, // full height
        // The snake picture: each piece begins next to where the one before ended.
        {"$~~~'", 100, 25, 1, 39,
         "*103,28 102,28 101,29 101,30 102,31 103,31 104,31 105,30 105,29 104,28 104,27 104,26 "
         "105,25 106,25 *107,25 108,26 109,27 110,27 111,26 112,25 113,25 *114,25 115,26 116,27 "
         "117,27 118,26 119,25 120,25 *121,25 122,26 123,27 124,27 125,26 126,25 127,25 *128,25 "
         "129,26 130,26 ."},
        {"#", 10, 20, 1, 2, "*10,20 ."},
        {"#", 10, 20, 3, 4, "*10,20 11,20 12,20 ."},
        {"\x01", 0, 0, 1, 2, "*2,3 ."},
        {"\x01", 0, 0, 3, 4, "*6,9 7,9 8,9 ."},
        // Umlaut dots: one pixel outside their grid points, size points high.
        {"\xE4", 0, 0, 1, 13, "*0,5 *3,5 ."},
        {"\xD6", 0, 0, 1, 17, "*0,7 *4,7 ."},
        {"\xC4", 0, 0, 3, 55, "*2,19 2,20 2,21 *10,19 10,20 10,21 ."},
        // Coordinates wrap modulo 256: across cells, inside a glyph, below y 0.
        {"##", 250, 10, 1, 3, "*250,10 *1,10 ."},
        {"#", 254, 10, 3, 4, "*254,10 255,10 0,10 ."},
        {"#\n#", 0, 5, 1, 3, "*0,5 *0,250 ."},
        {"", 0, 0, 1, 1, "."},
        {"  \r \r", 0, 0, 1, 1, "."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.text << "\" size " << c.size);
        const calls_t calls = stroke(c.text, c.x0, c.y0, c.size, 1);
        const calls_t tail = parse(c.tail);
        ASSERT_EQ(calls.size(), c.total);
        EXPECT_EQ(calls_t(calls.end() - tail.size(), calls.end()), tail);
    }
}

TEST(Stroker, SquashIsMeasuredFromTheBaseline)
{
    EXPECT_EQ(stroke("e", 20, 100, 3, 1), shifted(stroke("e", 0, 0, 3, 1), 20, 100));
}

TEST(Stroker, LineFeedStartsTheNextLineAtX0)
{
    const calls_t full = stroke("Score: 0\nLevel: 1", 100, 220, 1, 1);
    calls_t expected = stroke("Score: 0", 100, 220, 1, 1);
    expected.pop_back();
    const calls_t second = stroke("Level: 1", 100, 209, 1, 1);
    EXPECT_EQ(second.front(), (call_t{DARK, {104, 209}})); // 'L' starts at its (4, 0)
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(full, expected);
}

TEST(Stroker, FixedPitchCentresMarkedGlyphsOneUnitRight)
{
    for (const char *t : {"!", "I", "A"})
        for (int size : {1, 3}) {
            const int indent = std::string("!I").find(t[0]) != std::string::npos ? size : 0;
            EXPECT_EQ(stroke(t, 10, 10, size, 0), shifted(stroke(t, 10, 10, size, 1), indent, 0))
                << t << " size " << size;
        }
}

TEST(Stroker, AdvancesByClass)
{
    // Proportional advance at sizes 1 and 3: 5 * size + 2 less k units, 'c' a pixel less.
    struct {
        char c;
        int size1, size3;
    } const cases[] = {{'A', 7, 17}, {'a', 6, 14}, {'c', 5, 13}, {'i', 5, 11}, {'f', 5, 11},
                       {'T', 6, 14}, {'F', 6, 14}, {' ', 7, 17}, {'#', 7, 17}, {'!', 5, 11}};
    for (const auto &c : cases) {
        EXPECT_EQ(advance(c.c, 1, 1), c.size1) << c.c;
        EXPECT_EQ(advance(c.c, 3, 1), c.size3) << c.c;
        EXPECT_EQ(advance(c.c, 1, 0), 7) << c.c;
        EXPECT_EQ(advance(c.c, 3, 0), 17) << c.c;
    }
}

TEST(Stroker, RestartsAfterTheEndingCall)
{
    drawinfo_t d = setup("1", 0, 0, 1, 1);
    const calls_t first = run(d);
    EXPECT_EQ(run(d), first);
    d.text = reinterpret_cast<const std::uint8_t *>("#");
    d.x0 = 50;
    d.y0 = 60;
    EXPECT_EQ(run(d), parse("*50,60 ."));
}

} // namespace
