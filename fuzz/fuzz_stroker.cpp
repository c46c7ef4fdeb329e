// The text stroker on arbitrary texts, places, sizes and spacings.
// Input: x0, y0, size, prop, then the text (cut at 255 characters or at the
// first NUL). Every call is held to the stroker's per-call contract, the text
// must end within a bound that follows from the glyph format, and the call
// after the end must start the same text over, beam for beam.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "vector/vektor_zeichen.h"

namespace {

constexpr std::size_t HEADER = 4;
constexpr std::size_t MAX_TEXT = 255; // pos is 8 bits wide
// Larger sizes only stretch the same strokes; 16 keeps a text's calls bounded.
constexpr unsigned MAX_SIZE = 16;
// A glyph has at most 31 stroke bytes (5 header bits). A line stroke has at
// most 7 * size + 1 points (length field 7, plus the start and end bits) and
// takes one call per point; moves and pointless strokes cost no call of
// their own.
constexpr unsigned MAX_STROKE_BYTES = 31;
constexpr unsigned MAX_LINE_UNITS = 7;

// What the stroker sent during the current call.
struct call_ops_t {
    int dark = 0;
    int lit = 0;
    bool dark_after_lit = false;
};
call_ops_t call_ops;

// Everything a pass sent, as events: ops and call ends with their result.
std::vector<std::uint32_t> events;
constexpr std::uint32_t EV_DARK = 0x1000000;
constexpr std::uint32_t EV_LIT = 0x2000000;
constexpr std::uint32_t EV_RESULT = 0x4000000;

void record_xy(std::uint8_t x, std::uint8_t y)
{
    ++call_ops.lit;
    events.push_back(EV_LIT | (std::uint32_t{x} << 8) | y);
}

void record_skip()
{
    ++call_ops.dark;
    if (call_ops.lit != 0)
        call_ops.dark_after_lit = true;
    events.push_back(EV_DARK);
}

bool is_blank_char(std::uint8_t c) { return c == 10 || c == 13 || c == 32; }

// The owner's fields; the stroker must only read them.
struct owner_view_t {
    const std::uint8_t *text;
    void (*xy_fn)(std::uint8_t, std::uint8_t);
    void (*skip_fn)();
    std::uint8_t x0, y0, size, prop, reserved, chr;
};

owner_view_t owner_view(const drawinfo_t &d)
{
    return {d.text, d.xy_fn, d.skip_fn, d.x0, d.y0, d.size, d.prop, d.reserved, d.chr};
}

bool same_owner(const owner_view_t &a, const owner_view_t &b)
{
    return a.text == b.text && a.xy_fn == b.xy_fn && a.skip_fn == b.skip_fn && a.x0 == b.x0 &&
           a.y0 == b.y0 && a.size == b.size && a.prop == b.prop && a.reserved == b.reserved &&
           a.chr == b.chr;
}

// One call with the per-call checks. Returns draw_letters' result.
int checked_call(drawinfo_t &d)
{
    const owner_view_t before = owner_view(d);
    call_ops = call_ops_t{};
    const int r = draw_letters(&d);
    FUZZ_CHECK(r == 0 || r == 1);
    FUZZ_CHECK(call_ops.dark <= 1);
    FUZZ_CHECK(call_ops.lit <= 1);
    FUZZ_CHECK(!call_ops.dark_after_lit);
    if (r == 1) {
        FUZZ_CHECK(call_ops.dark == 0 && call_ops.lit == 0);
        FUZZ_CHECK(d.pos == 0 && d.glyph_pos == 0 && d.stroke_cnt == 0);
    }
    FUZZ_CHECK(same_owner(before, owner_view(d)));
    // Between calls. glyph_pos counts finished strokes only, so it is still 0
    // while a glyph's first stroke is being drawn.
    FUZZ_CHECK(d.stroke_cnt == 0 || d.stroke_cnt < d.stroke_len);
    FUZZ_CHECK(d.glyph_pos == 0 || d.glyph_pos < d.glyph_len);
    events.push_back(EV_RESULT | static_cast<std::uint32_t>(r));
    return r;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < HEADER)
        return 0;

    std::uint8_t text[MAX_TEXT + 1];
    std::size_t len = 0;
    unsigned glyphs = 0; // characters that start a glyph: each costs at least one call
    for (std::size_t i = HEADER; i < size && len < MAX_TEXT && data[i] != 0; ++i) {
        text[len++] = data[i];
        if (!is_blank_char(data[i]))
            ++glyphs;
    }
    text[len] = 0;

    drawinfo_t d{};
    d.xy_fn = record_xy;
    d.skip_fn = record_skip;
    d.prop = data[3] & 1;
    d.reserved = 0;
    draw_reset(&d);
    d.text = text;
    d.x0 = data[0];
    d.y0 = data[1];
    d.size = static_cast<std::uint8_t>(1 + data[2] % MAX_SIZE);

    const unsigned per_glyph = MAX_STROKE_BYTES * (MAX_LINE_UNITS * d.size + 1);
    const unsigned bound = glyphs * per_glyph + 1;

    events.clear();
    unsigned calls = 0;
    int r = 0;
    while (r == 0) {
        FUZZ_CHECK(calls < bound);
        r = checked_call(d);
        ++calls;
    }
    FUZZ_CHECK(calls >= glyphs + 1);

    // Every glyph opens with a dark tick (a move, or its first line), so the
    // first thing any text sends is dark.
    unsigned dark = 0;
    for (std::uint32_t ev : events)
        if (ev == EV_DARK)
            ++dark;
    FUZZ_CHECK(dark >= glyphs);
    if (glyphs > 0)
        FUZZ_CHECK(events.front() == EV_DARK);

    // Without a new setup the next calls draw the same text again.
    static std::vector<std::uint32_t> first;
    first.swap(events);
    events.clear();
    for (unsigned i = 0; i < calls; ++i)
        checked_call(d);
    FUZZ_CHECK(events == first);
    return 0;
}
