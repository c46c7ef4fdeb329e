// The tube look against the exact frames of the game: its light sits where
// the exact picture's points are, and nowhere else.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/image/screen_color.h"
#include "host/keys/stimuli.h"
#include "host/sim/scripted_run.h"
#include "host/tube/tube.h"
#include "tests/support/heard_frame.h"

namespace {

// Frame n of the built-in game at `level`, exact in its afterglow and on the
// tube (which hears that frame alone), with the tube's picture.
// How the beam lit a point: it stood on it for a tick, or passed along a
// wall line through it (across, down or both, at a corner).
using lit_by_t = std::uint8_t;
constexpr lit_by_t DWELL = 1;
constexpr lit_by_t ACROSS = 2;
constexpr lit_by_t DOWN = 4;

struct both_looks_t {
    std::vector<bool> lit;      // exact: the point x * 256 + y has light
    std::vector<lit_by_t> beam; // the same points, from the beam's ticks
    rgb_image_t tube;
};

void note_tick(void *out, const beam_tick_t &t)
{
    auto &beam = *static_cast<std::vector<lit_by_t> *>(out);
    if (!t.lit)
        return;
    if (!t.joined || (t.from_x == t.x && t.from_y == t.y)) {
        beam[screen_index(t.x, t.y)] |= DWELL;
        return;
    }
    const lit_by_t along = t.from_y == t.y ? ACROSS : DOWN;
    const int sx = (t.x > t.from_x) - (t.x < t.from_x);
    const int sy = (t.y > t.from_y) - (t.y < t.from_y);
    for (int x = t.from_x, y = t.from_y;; x += sx, y += sy) {
        beam[screen_index(x, y)] |= along;
        if (x == t.x && y == t.y)
            break;
    }
}

both_looks_t play_both(int level, std::int64_t n, const tube_settings_t &settings)
{
    tube_t tube(settings);
    beam_listening_t listening(tube.listener());
    std::vector<lit_by_t> beam(SCREEN_POINTS);
    beam_listening_t noting({&beam, note_tick});
    const auto heard = std::make_unique<heard_frame_t>();
    scripted_run_t run;
    run.setup.level = static_cast<std::uint8_t>(level);
    run.keys = builtin_key_script();
    run_start(&run);
    run_to_frame(&run, n);
    both_looks_t out{std::vector<bool>(SCREEN_POINTS), beam, tube.picture()};
    for (std::size_t i = 0; i < SCREEN_POINTS; ++i)
        out.lit[i] = heard->glow.pixel[i] > 0.0;
    return out;
}

const int LEVELS[] = {1, 2, 3, 4};
// The start, a meal, the snake grown, the crashes, the drain, the risen text.
const std::int64_t FRAMES[] = {1, 112, 200, 308, 336, 400, 1000};

// The tube picture's pixel nearest to point (x, y): column, row.
std::pair<int, int> nearest_pixel(int size, int x, int y)
{
    const double per_point = size / 256.0;
    return {static_cast<int>(std::floor((x + 0.5) * per_point)),
            static_cast<int>(std::floor((255 - y + 0.5) * per_point))};
}

// Whether the centre of pixel (i, j) is nearer to lit point (x, y) than to
// any other lit point.
bool closest_to(const both_looks_t &b, int size, int i, int j, int x, int y)
{
    const double per_point = size / 256.0;
    const double u = (i + 0.5) / per_point - 0.5;
    const double v = 255.0 - ((j + 0.5) / per_point - 0.5);
    const double own = (u - x) * (u - x) + (v - y) * (v - y);
    for (int px = x - 2; px <= x + 2; ++px)
        for (int py = y - 2; py <= y + 2; ++py) {
            if ((px == x && py == y) || !b.lit[screen_index(px, py)])
                continue;
            if ((u - px) * (u - px) + (v - py) * (v - py) <= own)
                return false;
        }
    return true;
}

// With a sharp spot, the pixel nearest to each lit point of the exact frame
// is the brightest of the pixels around it that lie nearer to that point
// than to any other: the tube's light is on the game's points, not a pixel
// aside, not mirrored. On a wall line, where the beam moves, the line is
// even along its length, so only the pixels beside it count there. At 1 and
// 3 pixels a point each point's centre is a pixel's centre; at other sizes
// a spot narrower than a pixel may straddle two. (At the default focus the
// spots of neighbouring points merge, and a line's brightest pixels may lie
// between its points.)
TEST(TubeFrames, LitPointsAreLocalMaxima)
{
    for (const int size : {256, 768}) {
        tube_settings_t s;
        s.size = size;
        s.focus = TUBE_FOCUS_MIN;
        s.persistence_ms = 0.0; // the frame alone, as the exact picture shows it
        for (const int level : LEVELS) {
            for (const std::int64_t n : FRAMES) {
                const both_looks_t b = play_both(level, n, s);
                const auto green = [&](int i, int j) {
                    return b.tube.rgb[3 * (std::size_t(j) * size + i) + 1];
                };
                int checked = 0;
                for (int x = 2; x < 254; ++x) {
                    for (int y = 2; y < 254; ++y) {
                        const lit_by_t by = b.beam[screen_index(x, y)];
                        ASSERT_EQ(b.lit[screen_index(x, y)], by != 0)
                            << "level " << level << " frame " << n << " point " << x << ", " << y;
                        if (by == 0 || !on_screen(x, y))
                            continue;
                        const auto [i, j] = nearest_pixel(size, x, y);
                        ASSERT_GT(green(i, j), 0) << "level " << level << " frame " << n;
                        for (int di = -1; di <= 1; ++di)
                            for (int dj = -1; dj <= 1; ++dj) {
                                const bool along_line =
                                    (dj == 0 && (by & ACROSS)) || (di == 0 && (by & DOWN));
                                if ((along_line && !(by & DWELL)) ||
                                    !closest_to(b, size, i + di, j + dj, x, y))
                                    continue;
                                ASSERT_GE(green(i, j), green(i + di, j + dj))
                                    << "size " << size << " level " << level << " frame " << n
                                    << ": point (" << x << ", " << y << ")";
                            }
                        ++checked;
                    }
                }
                EXPECT_GT(checked, 300) << "level " << level << " frame " << n;
            }
        }
    }
}

// Without the halo, the screen is black beyond a spot's reach (4 standard
// deviations, and a point more for the pixel's place in its point) from
// every lit point.
TEST(TubeFrames, BackgroundFarFromThePointsIsBlack)
{
    tube_settings_t s;
    s.size = 512;
    s.persistence_ms = 0.0;
    s.glow = 0.0;
    const int reach = static_cast<int>(std::ceil(4 * s.focus)) + 1;
    for (const int level : LEVELS) {
        for (const std::int64_t n : FRAMES) {
            const both_looks_t b = play_both(level, n, s);
            std::vector<bool> near(SCREEN_POINTS);
            for (int x = 0; x < 256; ++x)
                for (int y = 0; y < 256; ++y)
                    if (b.lit[screen_index(x, y)])
                        for (int u = std::max(0, x - reach); u <= std::min(255, x + reach); ++u)
                            for (int v = std::max(0, y - reach); v <= std::min(255, y + reach); ++v)
                                near[screen_index(u, v)] = true;
            int black = 0;
            for (int j = 0; j < s.size; ++j) {
                for (int i = 0; i < s.size; ++i) {
                    const std::uint8_t *p = &b.tube.rgb[3 * (std::size_t(j) * s.size + i)];
                    const int x = i / 2, y = 255 - j / 2;
                    if (near[screen_index(x, y)] ||
                        screen_rgb_t{p[0], p[1], p[2]} == SCREEN_OUTSIDE)
                        continue;
                    ASSERT_EQ(p[0] | p[1] | p[2], 0)
                        << "level " << level << " frame " << n << " pixel " << i << ", " << j;
                    ++black;
                }
            }
            EXPECT_GT(black, s.size * s.size / 4) << "level " << level << " frame " << n;
        }
    }
}

} // namespace
