// What a key on the keyboard does in snake-play, and the keys waiting for the
// game: the module takes at most one key after each frame, as on the
// device, so a second press in the same frame waits for the next one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>

enum class play_action_t : std::uint8_t {
    none,
    game_key,   // value: the module's key code
    new_game,   // value: level 1 to 4, or 0 for the current level
    pause,      // pause or go on
    screenshot, // save the picture as shown
    quit,
    step,        // pause, and paint one more beam tick
    slow_motion, // slow motion on or off
};

struct play_input_t {
    play_action_t action = play_action_t::none;
    std::uint8_t value = 0; // see play_action_t
};

// The keyboard keys by SDL key code; everything else does nothing.
play_input_t map_key(std::int32_t sdl_keycode);

// One line per key for --help and the README.
struct key_help_t {
    const char *keys;
    const char *effect;
};
inline constexpr std::array<key_help_t, 9> KEY_HELP = {{
    {"arrows, W A S D", "steer (the module's codes left, up, down, right)"},
    {"+ (or =), -", "faster, slower (the module's pace codes)"},
    {"1 to 4", "a new game at that level"},
    {"Enter", "a new game at the current level"},
    {"Space", "pause, and on again"},
    {". (full stop)", "pause, and draw one more beam tick"},
    {", (comma)", "slow motion on or off: the frame drawn tick by tick"},
    {"F12", "save the picture as shown as a PNG (snake-play-N.png)"},
    {"Esc", "quit (closing the window does too)"},
}};

// Keys pressed and not yet taken by the game. A key storm keeps only the
// first presses: a player cannot mean more than a few turns ahead.
inline constexpr std::size_t KEY_QUEUE_LIMIT = 32;

struct key_queue_t {
    std::deque<std::uint8_t> keys; // oldest first, at most KEY_QUEUE_LIMIT
};

// Adds a key; returns false when the queue is full and the key is dropped.
bool key_queue_push(key_queue_t *q, std::uint8_t key);

// The key for the frame just drawn, or 0.
std::uint8_t key_queue_take(key_queue_t *q);
