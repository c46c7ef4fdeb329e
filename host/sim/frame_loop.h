// The one frame loop of every host: how a game is started and how one frame
// is played (pixel calls until the frame ends, at most one key, the time
// call). It knows nothing of the beam: a host links its own beam operations.
#pragma once

#include <cstdint>

#include "parith/parith15.h"
#include "snake/snake.h"

// What decides a game besides the keys.
struct game_setup_t {
    std::uint8_t level = 1;                    // 1 to 4
    std::uint16_t seed = parith::INITIAL_SEED; // the generator's state at the start
    bool device_pace = false;                  // keep the level table's speed and growth
    std::uint8_t speed = 1;                    // time calls per step, unless device_pace
    std::uint8_t growth = 20;                  // steps of growth per meal, unless device_pace
};

// The simulator's pace: speed 1 and growth 20 replace the level table's values.
inline constexpr std::uint8_t SIM_SPEED = 1;
inline constexpr std::uint8_t SIM_GROWTH = 20;

// Starts a game in s as a fresh process would: zeroed record and beam
// counter, the seed, onEnter, the level, the pace, and the park call.
void start_game(snake_t *s, const game_setup_t &setup);

// One pixel call of the frame being painted; returns whether the frame is
// finished. A call sends no beam tick (the frame start), one, or two (a text
// step that moves the pen).
bool paint_step(snake_t *s);

// Calls paint_step until the frame is finished (at least once).
void paint_frame(snake_t *s);

// After the frame: the key (0 = none), then the time call.
void finish_frame(snake_t *s, std::uint8_t key);

// paint_frame, then finish_frame.
void play_frame(snake_t *s, std::uint8_t key);
