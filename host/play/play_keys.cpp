#include "host/play/play_keys.h"

#include <SDL_keycode.h>

#include "host/keys/key_script.h"

namespace {

struct key_binding_t {
    std::int32_t keycode;
    play_input_t input;
};

constexpr play_input_t game_key(std::uint8_t code) { return {play_action_t::game_key, code}; }
constexpr play_input_t new_game(std::uint8_t level) { return {play_action_t::new_game, level}; }

constexpr key_binding_t BINDINGS[] = {
    {SDLK_LEFT, game_key(KEY_LEFT)},
    {SDLK_a, game_key(KEY_LEFT)},
    {SDLK_RIGHT, game_key(KEY_RIGHT)},
    {SDLK_d, game_key(KEY_RIGHT)},
    {SDLK_UP, game_key(KEY_UP)},
    {SDLK_w, game_key(KEY_UP)},
    {SDLK_DOWN, game_key(KEY_DOWN)},
    {SDLK_s, game_key(KEY_DOWN)},
    {SDLK_PLUS, game_key(KEY_FASTER)},
    {SDLK_EQUALS, game_key(KEY_FASTER)},
    {SDLK_KP_PLUS, game_key(KEY_FASTER)},
    {SDLK_MINUS, game_key(KEY_SLOWER)},
    {SDLK_KP_MINUS, game_key(KEY_SLOWER)},
    {SDLK_1, new_game(1)},
    {SDLK_KP_1, new_game(1)},
    {SDLK_2, new_game(2)},
    {SDLK_KP_2, new_game(2)},
    {SDLK_3, new_game(3)},
    {SDLK_KP_3, new_game(3)},
    {SDLK_4, new_game(4)},
    {SDLK_KP_4, new_game(4)},
    {SDLK_RETURN, new_game(0)},
    {SDLK_KP_ENTER, new_game(0)},
    {SDLK_SPACE, {play_action_t::pause, 0}},
    {SDLK_PERIOD, {play_action_t::step, 0}},
    {SDLK_KP_PERIOD, {play_action_t::step, 0}},
    {SDLK_COMMA, {play_action_t::slow_motion, 0}},
    {SDLK_F12, {play_action_t::screenshot, 0}},
    {SDLK_ESCAPE, {play_action_t::quit, 0}},
};

} // namespace

play_input_t map_key(std::int32_t sdl_keycode)
{
    for (const key_binding_t &b : BINDINGS)
        if (b.keycode == sdl_keycode)
            return b.input;
    return {};
}

bool key_queue_push(key_queue_t *q, std::uint8_t key)
{
    if (q->keys.size() >= KEY_QUEUE_LIMIT)
        return false;
    q->keys.push_back(key);
    return true;
}

std::uint8_t key_queue_take(key_queue_t *q)
{
    if (q->keys.empty())
        return 0;
    const std::uint8_t key = q->keys.front();
    q->keys.pop_front();
    return key;
}
