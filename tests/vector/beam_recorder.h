// A stand-in owner for the text stroker: logs, per draw_letters call, what
// the call sent through the two beam operations.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "vector/vektor_zeichen.h"

namespace beam_rec {

using op_t = std::pair<int, int>; // a lit point, or DARK
using call_t = std::vector<op_t>;
using calls_t = std::vector<call_t>;
inline constexpr op_t DARK{-1, -1};

inline calls_t *recording = nullptr;
inline void on_xy(std::uint8_t x, std::uint8_t y) { recording->back().emplace_back(x, y); }
inline void on_skip() { recording->back().push_back(DARK); }

inline drawinfo_t setup(const char *text, int x0, int y0, int size, int prop)
{
    drawinfo_t d{};
    d.text = reinterpret_cast<const std::uint8_t *>(text);
    d.xy_fn = on_xy;
    d.skip_fn = on_skip;
    d.x0 = static_cast<std::uint8_t>(x0);
    d.y0 = static_cast<std::uint8_t>(y0);
    d.size = static_cast<std::uint8_t>(size);
    d.prop = static_cast<std::uint8_t>(prop);
    draw_reset(&d);
    return d;
}

// Calls draw_letters until it returns 1; that call is the last entry.
inline calls_t run(drawinfo_t &d, int limit = 1000)
{
    calls_t calls;
    recording = &calls;
    for (int i = 0; i < limit; ++i) {
        calls.emplace_back();
        if (draw_letters(&d) == 1)
            return calls;
    }
    ADD_FAILURE() << "text did not end within " << limit << " calls";
    return calls;
}

inline calls_t stroke(const char *text, int x0, int y0, int size, int prop)
{
    drawinfo_t d = setup(text, x0, y0, size, prop);
    return run(d);
}

} // namespace beam_rec
