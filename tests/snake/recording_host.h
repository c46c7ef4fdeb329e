// A test host for the game module: the beam operations record what the
// module sends instead of drawing it, and a driver replays pc-snake's run
// (start, level, overrides, key script) frame by frame.
#pragma once

#include <cstdint>
#include <vector>

#include "snake/snake.h"

struct beam_op_t {
    bool lit; // false: a dark tick
    std::uint8_t x;
    std::uint8_t y;
    std::uint8_t state; // paint_state of the watched record when the op was sent
    std::uint8_t item;  // its text_idx then
    bool operator==(const beam_op_t &o) const { return lit == o.lit && x == o.x && y == o.y; }
};

// Every beam operation since the last clear_ops().
const std::vector<beam_op_t> &recorded_ops();
void clear_ops();
// The record whose paint_state is noted with each op (may be null).
void watch_record(const snake_t *s);

// Lit points only, in order.
std::vector<beam_op_t> lit_points(const std::vector<beam_op_t> &ops);

// One painted frame of a scripted game.
struct frame_record_t {
    std::vector<beam_op_t> ops; // from the frame start to the frame end
    snake_t after_paint;        // the record when the frame end was painted
    snake_t after_clock;        // the record after the key and time calls
};

// The game pc-snake plays at `level`: fresh record and generator, onEnter,
// snake_set_level, speed 1, growth 20, the park, then `frames` frames with
// the key script. Leaves the game in `game` for further inspection.
std::vector<frame_record_t> play_scripted_game(snake_t &game, std::uint8_t level, int frames);

// Units of the body: the sum of len over the runs in use.
int body_length(const snake_t &s);

// Paints one frame: calls onPixel until frame_phase leaves 0. Returns its ops.
std::vector<beam_op_t> paint_recorded(snake_t *s);
