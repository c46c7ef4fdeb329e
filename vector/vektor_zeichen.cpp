#include "vector/vektor_zeichen.h"

#include <array>

#include "vector/glyph_chain.h"
#include "vector/glyph_format.h"
#include "vector/vektor_zeichen_data.h"

namespace {

using namespace glyph;

constexpr std::uint8_t CHAR_CR = 13;
constexpr std::uint8_t CHAR_LF = 10;
constexpr std::uint8_t CHAR_SPACE = 32;

// Step per point for the direction bits (4 to 2) of a line byte; bit 4 negates.
constexpr std::int8_t DIR_DX[8] = {-1, -1, 0, +1, +1, +1, 0, -1};
constexpr std::int8_t DIR_DY[8] = {0, -1, -1, -1, 0, +1, +1, +1};

std::uint8_t u8(int v) { return static_cast<std::uint8_t>(v); }

std::uint8_t cell_advance(const drawinfo_t *d) { return u8(5 * d->size + 2); }

// Linear walk from the start of the main font; the chaining entry continues
// into the module's table, whose fallback entry ends every search.
const std::uint8_t *find_glyph(std::uint8_t c)
{
    const std::uint8_t *e = vektor_zeichen_data.data();
    for (;;) {
        const std::uint8_t code = e[0];
        if (code == c)
            return e;
        if (code == GLYPH_CHAIN)
            e = snake_glyph.data();
        else if (code == GLYPH_FALLBACK)
            return e;
        else
            e += 2 + (e[1] & HDR_LEN_MASK);
    }
}

// The tables never change, so the walk runs once per character code and its
// answer is kept: starting a glyph then costs a load instead of a search.
std::array<const std::uint8_t *, 256> found_glyphs;

const std::uint8_t *glyph_entry(std::uint8_t c)
{
    const std::uint8_t *&e = found_glyphs[c];
    if (e == nullptr)
        e = find_glyph(c);
    return e;
}

void start_glyph(drawinfo_t *d, std::uint8_t c)
{
    const std::uint8_t *e = glyph_entry(c);
    const std::uint8_t code = e[0];
    const std::uint8_t hdr = e[1];
    d->px = d->cx;
    d->py = d->cy;
    d->glyph_len = hdr & HDR_LEN_MASK;
    d->glyph_code = code;
    d->strokes = e + 2;
    // 'T' and 'F' have a k-0 header but are set one unit narrower.
    const bool narrower = d->prop != 0 && (code == 'T' || code == 'F');
    d->glyph_hdr = narrower ? u8(hdr + 0x40) : hdr;
    d->indent = (d->prop == 0 && (hdr & HDR_CENTRED) != 0) ? d->size : 0;
    d->squash = 0;
    d->sx = 0;
    d->sy = 0;
}

// Reads characters until one starts a glyph. Returns false at the text's end.
// Out of line, so that starting a stroke within a glyph saves few registers.
[[gnu::noinline]] bool next_glyph(drawinfo_t *d)
{
    for (;;) {
        std::uint8_t c = d->chr;
        if (c == 0) {
            if (d->pos == 0) {
                d->cx = d->x0;
                d->cy = d->y0;
            }
            c = d->text[d->pos];
            if (c == 0) {
                d->pos = 0;
                return false;
            }
            d->pos = u8(d->pos + 1);
        }
        if (c == CHAR_CR)
            continue;
        if (c == CHAR_LF) {
            d->cy = u8(d->cy - (8 * d->size + 3));
            d->cx = d->x0;
            continue;
        }
        if (c == CHAR_SPACE) {
            d->cx = u8(d->cx + cell_advance(d));
            continue;
        }
        start_glyph(d, c);
        return true;
    }
}

void end_glyph(drawinfo_t *d)
{
    d->cx = u8(d->cx + cell_advance(d));
    const std::uint8_t k = d->glyph_hdr >> HDR_NARROW_SHIFT;
    if (d->prop != 0 && k != 0) {
        d->cx = u8(d->cx - d->size * k);
        if (d->glyph_code == 'c')
            d->cx = u8(d->cx - 1); // 'c' is a unit narrower than its class
    }
    d->indent = 0;
    d->glyph_pos = 0;
}

void end_stroke(drawinfo_t *d)
{
    d->stroke_cnt = 0;
    d->glyph_pos = u8(d->glyph_pos + 1);
    if (d->glyph_pos == d->glyph_len)
        end_glyph(d);
}

void do_move(drawinfo_t *d, std::uint8_t b)
{
    const std::uint8_t m = *d->strokes++;
    if (d->size > 1)
        d->squash = m & MOVE_SQUASH;
    d->px = u8(d->cx + d->indent + b * d->size);
    d->py = u8(d->cy + (m & 0x7F) * d->size);
    d->skip_fn();
    d->glyph_pos = u8(d->glyph_pos + 2);
}

// Sets up the stroke of line byte b. Returns false when it comes to no point.
bool setup_line(drawinfo_t *d, std::uint8_t b)
{
    if (d->glyph_pos == 0) {
        d->px = u8(d->px + d->indent);
        d->skip_fn();
    }
    std::uint8_t n = u8((b >> 5) * d->size - 1 + (b & LINE_END));
    if (b & LINE_START) {
        n = u8(n + 1);
        d->hold = 1;
    }
    if (n == 0) {
        d->hold = 0;
        return false;
    }
    const std::uint8_t stub = u8((d->size + 1) >> 1);
    switch (b) {
    case DOT_LEFT:
    case DOT_RIGHT:
        d->px = u8(b == DOT_LEFT ? d->px - 1 : d->px + 1);
        d->stroke_len = d->size;
        d->dx = 0;
        d->dy = +1;
        d->hold = 0;
        return true;
    case STUB_DOWN:
        if (d->size == 1)
            return false;
        d->stroke_len = stub;
        d->dx = 0;
        d->dy = -1;
        d->hold = 0;
        return true;
    case STUB_UP:
        d->stroke_len = stub;
        d->dx = 0;
        d->dy = +1;
        d->hold = 0;
        return true;
    default:
        d->stroke_len = n;
        d->dx = DIR_DX[(b >> 2) & 7];
        d->dy = DIR_DY[(b >> 2) & 7];
        return true;
    }
}

void send_point(drawinfo_t *d)
{
    if (d->squash == 0) {
        d->xy_fn(d->px, d->py);
        return;
    }
    // Compressed from the baseline: only the product is shifted, in 8 bits.
    const std::uint8_t t = u8(3 * u8(d->py - d->cy));
    const std::uint8_t y = u8(d->cy + (t >> 2));
    if (d->px == d->sx && y == d->sy)
        return;
    d->sx = d->px;
    d->sy = y;
    d->xy_fn(d->px, y);
}

int emit_point(drawinfo_t *d)
{
    if (d->hold == 0) {
        d->px = u8(d->px + d->dx);
        d->py = u8(d->py + d->dy);
    }
    d->hold = 0;
    send_point(d);
    d->stroke_cnt = u8(d->stroke_cnt + 1);
    if (d->stroke_cnt == d->stroke_len)
        end_stroke(d);
    return 0;
}

// The next stroke, of this glyph or of the next one, with its first point;
// moves chain on to the stroke byte after them. Returns 1 at the text's end.
// Kept out of line: inlined, its register saves would burden every point.
[[gnu::noinline]] int next_stroke(drawinfo_t *d)
{
    for (;;) {
        if (d->glyph_pos == 0 && !next_glyph(d))
            return 1;
        const std::uint8_t b = *d->strokes++;
        if (b < MOVE_LIMIT) {
            do_move(d, b);
            continue;
        }
        if (setup_line(d, b))
            return emit_point(d);
        end_stroke(d);
    }
}

} // namespace

void draw_reset(drawinfo_t *d)
{
    d->stroke_cnt = 0;
    d->glyph_pos = 0;
    d->pos = 0;
    d->chr = 0;
}

int draw_letters(drawinfo_t *d)
{
    if (d->stroke_cnt != 0) // most calls: a stroke in progress
        return emit_point(d);
    return next_stroke(d);
}
