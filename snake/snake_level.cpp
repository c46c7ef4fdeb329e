#include "snake/snake.h"

namespace {

// clang-format off
constexpr snake_level_t SNAKE_LEVELS[SNAKE_LEVEL_COUNT] = {
    // speed growth grid food_on_body
    {  3,    200,   8,   0 }, // level 1
    {  1,    200,   8,   0 }, // level 2
    {  1,    200,   8,   0 }, // level 3
    {  1,    200,   8,   0 }, // level 4
};
// clang-format on

} // namespace

void snake_set_level(snake_t *s, std::uint8_t level)
{
    s->level = level;
    s->params = SNAKE_LEVELS[level - 1];
    s->grid_mask = static_cast<std::uint8_t>(s->params.grid - 1);
}
