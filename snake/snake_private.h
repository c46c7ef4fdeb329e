// Module-internal pieces of the game: the callbacks behind menuitem_snake,
// the wall reader and the painter's statics. Hosts do not include this.
#pragma once

#include <array>
#include <cstdint>

#include "snake/snake.h"
#include "snake/snake_state.h"
#include "vector/vektor_zeichen.h"

inline constexpr std::uint8_t SNAKE_TEXT_OVER = 2; // the item drawn at over_y

void onPixel_snake(snake_t *s);
void onTimeChanged_snake(snake_t *s, int t);
void onKey_snake(snake_t *s, std::uint8_t key);
void onEnter_snake(snake_t *s);

// Hands out the next wall stroke and runs the head and food tests on it.
// Returns nonzero when this beam tick is to be dark.
std::uint8_t read_wall_seg(snake_t *s);

inline constexpr std::size_t WALL_SIZE = 40;
extern const std::array<std::uint8_t, WALL_SIZE> WALL;

// Texts: 0 score and level, 1 the snake picture, 2 "Game over!".
extern char snake_text[SNAKE_TEXT_ITEMS][SNAKE_TEXT_SIZE];
extern drawinfo_t drawinfo;
// Stands for the device's interrupt status around the reset of beam.tick.
extern std::uint8_t SREG;
