#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "snake/snake_glyph.h"
#include "tests/vector/beam_recorder.h"
#include "vector/glyph_format.h"
#include "vector/vektor_zeichen_data.h"

namespace {

using namespace beam_rec;

struct entry_t {
    std::uint8_t code, hdr;
    std::vector<std::uint8_t> strokes;
    bool operator==(const entry_t &) const = default;
};

// Splits a table by its headers' byte counts, which must end on the table's
// end; inside an entry the items must end on the count, the last one a line.
template <std::size_t N> std::vector<entry_t> entries(const std::array<std::uint8_t, N> &t)
{
    std::vector<entry_t> out;
    std::size_t i = 0;
    for (; i + 1 < N; i += 2 + (t[i + 1] & glyph::HDR_LEN_MASK)) {
        const std::size_t end = std::min(N, i + 2 + (t[i + 1] & glyph::HDR_LEN_MASK));
        std::size_t j = i + 2, last = j;
        for (; j < end; j += t[j] < glyph::MOVE_LIMIT ? 2 : 1)
            last = j;
        EXPECT_TRUE(j == end && last < end && t[last] >= glyph::MOVE_LIMIT)
            << "strokes of code " << int(t[i]) << " do not end on a line at the count";
        out.push_back({t[i], t[i + 1], {t.begin() + i + 2, t.begin() + end}});
    }
    EXPECT_EQ(i, N) << "the last entry's count runs past the table";
    return out;
}

std::string codes(const std::vector<entry_t> &table)
{
    std::string s;
    for (const entry_t &e : table)
        s += char(e.code);
    return s;
}

TEST(GlyphTables, MainFontHoldsTheDocumentedEntries)
{
    static_assert(VEKTOR_ZEICHEN_DATA_SIZE == 933);
    const std::vector<entry_t> table = entries(vektor_zeichen_data);
    EXPECT_EQ(codes(table), "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ:.abcdefghijklmnopqrstuvwxyz"
                            "\xC4\xD6\xDC\xE4\xF6\xFC\xDF?!*,;=-+@><^_\x01");
    ASSERT_EQ(table.size(), 85u);
    EXPECT_EQ(table.back(), (entry_t{glyph::GLYPH_CHAIN, 0x03, {0x02, 0x03, 0x32}}));
}

TEST(GlyphTables, ModuleTableEndsWithTheFallback)
{
    static_assert(SNAKE_GLYPH_SIZE == 28);
    const std::vector<entry_t> table = entries(snake_glyph);
    EXPECT_EQ(codes(table), "$~'\x02");
    ASSERT_EQ(table.size(), 4u);
    EXPECT_EQ(table.back(), (entry_t{glyph::GLYPH_FALLBACK, 0x01, {0x32}}));
}

// Drawn as single-character texts: a glyph begins with a dark tick, draws at
// least one point, no call sends more than one dark tick or lit point (the
// dark tick first), and the ending call sends nothing.
TEST(GlyphTables, EveryGlyphDrawsWithinTheBeamBudgetPerCall)
{
    const std::string all = codes(entries(vektor_zeichen_data)) + codes(entries(snake_glyph));
    for (const char c : all)
        for (int size = 1; size <= 4; ++size)
            for (int prop = 0; prop <= 1; ++prop) {
                SCOPED_TRACE(testing::Message() << "code " << int(std::uint8_t(c)) << " size "
                                                << size << " prop " << prop);
                const char text[2] = {c, 0};
                const calls_t calls = stroke(text, 100, 100, size, prop);
                EXPECT_TRUE(calls.back().empty());
                EXPECT_TRUE(!calls.front().empty() && calls.front()[0] == DARK);
                std::size_t points = 0;
                for (const call_t &call : calls) {
                    const auto darks = std::count(call.begin(), call.end(), DARK);
                    points += call.size() - darks;
                    EXPECT_TRUE(darks <= 1 && call.size() - darks <= 1 &&
                                (darks == 0 || call.front() == DARK));
                }
                EXPECT_GT(points, 0u);
            }
}

// The glyphs the game writes (digits, "Score: ", "Level: ", "Game over!"),
// worked out by hand from their stroke bytes: at size 1 from the cell origin,
// rows y 6 down to 0, columns x 0 to 4; '#' a point drawn once, '2' twice.
struct glyph_pictures_t {
    const char *glyphs;
    std::array<const char *, 7> rows; // one 5-column picture per glyph, a blank between
};
constexpr glyph_pictures_t GAME_GLYPHS[] = {
    // clang-format off
    {"0123456789", {
        ".###. ..#.. .###. .###. ...#. ##### .###. ##### .###. .###.",
        "#...# .##.. #...# #...# ..##. #.... #...# #...# #...# #...#",
        "#..## #.#.. ....# ....# .#.#. ####. #.... ...#. #...# #...#",
        "#.#.# ..#.. ...#. ..##. #..#. #...# ####. ..#.. .###. .####",
        "##..# ..#.. ..#.. ....# ###2# ....# #...# .#... #...# ....#",
        "#...# ..#.. .#... #...# ...#. #...# #...# .#... #...# #...#",
        ".###. .###. ##### .###. ...#. .###. .###. .#... .###. .###."}},
    {"Score:LvlGam!", {
        ".###. ..... ..... ..... ..... ..... #.... ..... ..... .###. ..... ..... .#...",
        "#...# ..... ..... ..... ..... .##.. #.... ..... ##... #...# ..... ..... .#...",
        "#.... ..... ..... ..... .##.. .##.. #.... ..... .#... #.... ..... ..... .#...",
        ".###. .##.. .##.. ###.. #..#. ..... #.... #.#.. .#... #.### .###. ##### .#...",
        "....# #.... #..#. #.... ####. .##.. #.... #.#.. .#... #...# #..#. #.#.# .....",
        "#...# #.... #..#. #.... #.... .##.. #.... #.#.. .#... #...# #..#. #.#.# .#...",
        ".###. .##.. .##.. #.... .###. ..... ##### .#... ###.. .#### .###. #.#.# ....."}},
    // clang-format on
};

// The points a glyph draws at size 1 as a picture like the ones above; a
// point outside the 5 x 7 box (or wrapped below the origin) is shown as "!".
std::string picture(char c)
{
    std::string rows(7 * 6, '.');
    for (int y = 0; y < 7; ++y)
        rows[y * 6 + 5] = '\n';
    const char text[2] = {c, 0};
    for (const call_t &call : stroke(text, 0, 0, 1, 1))
        for (const op_t &op : call) {
            if (op == DARK)
                continue;
            const auto [x, y] = op;
            if (x > 4 || y > 6) {
                rows += '!';
                continue;
            }
            char &cell = rows[(6 - y) * 6 + x];
            cell = cell == '.' ? '#' : cell == '#' ? '2' : char(cell + 1);
        }
    return rows;
}

TEST(GlyphTables, GameGlyphsDrawTheirStrokes)
{
    for (const glyph_pictures_t &g : GAME_GLYPHS)
        for (std::size_t i = 0; g.glyphs[i] != 0; ++i) {
            std::string want;
            for (const char *row : g.rows)
                want += std::string(row + 6 * i, 5) + "\n";
            EXPECT_EQ(picture(g.glyphs[i]), want) << "glyph " << g.glyphs[i];
        }
}

} // namespace
