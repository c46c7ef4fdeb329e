// The exit statuses of pc-snake, snake-render and snake-play: one meaning
// each, the same in every program.
#pragma once

inline constexpr int EXIT_USAGE = 1;         // bad arguments, options or key script
inline constexpr int EXIT_TICK_LIMIT = 2;    // a frame needed more beam ticks than the budget
inline constexpr int EXIT_DIAGONAL_JOIN = 3; // a wall line neither horizontal nor vertical
inline constexpr int EXIT_WRITE_FAILED = 4;  // an output could not be written
inline constexpr int EXIT_NO_DEVICE = 5;     // no window (or sound device) could be opened
