// Text stroker: draws text in the stroke font one beam point per call.
// The owner fills in the first group of drawinfo_t, calls draw_reset once and
// then draw_letters once per beam tick until it returns 1. Every call sends
// at most one dark tick and at most one lit point through the owner's
// operations. All coordinates are 8-bit and wrap around the screen.
#pragma once

#include <cstdint>

struct drawinfo_t {
    // Set by the owner.
    const std::uint8_t *text; // 0-terminated, ISO 8859-1, at most 255 characters
    void (*xy_fn)(std::uint8_t x, std::uint8_t y); // one lit beam tick
    void (*skip_fn)();                             // one dark beam tick
    std::uint8_t x0;                               // left x of every line
    std::uint8_t y0;                               // baseline of the first line
    std::uint8_t size;                             // pixels per font unit, 1 or more
    std::uint8_t prop;                             // nonzero: proportional spacing
    std::uint8_t reserved;                         // unused, kept 0

    // Working state of the stroker.
    const std::uint8_t *strokes; // next stroke byte of the current glyph
    std::int8_t dx;              // x step per point of the current stroke
    std::int8_t dy;              // y step per point of the current stroke
    std::uint8_t stroke_len;     // points in the current stroke
    std::uint8_t stroke_cnt;     // points already emitted; 0 between strokes
    std::uint8_t pos;            // next character of text; 0 = text starts anew
    std::uint8_t cx;             // left edge of the current cell
    std::uint8_t cy;             // baseline of the current line
    std::uint8_t px;             // pen x
    std::uint8_t py;             // pen y
    std::uint8_t glyph_len;      // stroke bytes of the current glyph
    std::uint8_t glyph_pos;      // stroke bytes consumed (a move counts 2)
    std::uint8_t hold;           // next point is the pen itself, no step
    std::uint8_t indent;         // fixed-pitch centring shift: size or 0
    std::uint8_t glyph_hdr;      // header after the 'T'/'F' narrowing
    std::uint8_t chr;            // nonzero: drawn in place of the text's characters
    std::uint8_t glyph_code;     // code of the table entry in use (2 for the fallback)
    std::uint8_t squash;         // 0x80: compress the glyph to three quarters
    std::uint8_t sx;             // last point sent while squashing
    std::uint8_t sy;

    // Field by field, so that padding never makes two equal records differ.
    friend bool operator==(const drawinfo_t &, const drawinfo_t &) = default;
};

// Puts stroke, glyph and text at their start and clears chr; nothing else.
void draw_reset(drawinfo_t *d);

// Draws the next point of the text. Returns 1, sending nothing, in the call
// that meets the text's 0 byte; the call after it starts the text again.
int draw_letters(drawinfo_t *d);
