// The Snake game module: its record, its level table and its callback table.
// A host owns one snake_t, supplies the beam operations of beam_port.h and
// drives the game only through menuitem_snake and snake_set_level.
// Headings: 0 left (x - 1), 1 down (y - 1), 2 right (x + 1), 3 up (y + 1);
// heading XOR 2 is the opposite one. Coordinates are bytes and wrap.
#pragma once

#include <cstdint>

inline constexpr std::uint8_t SNAKE_RING_SIZE = 25; // the body's limit of straight runs
inline constexpr std::uint8_t SNAKE_NO_DIR = 0xFF;  // dir_next: no turn queued
inline constexpr std::uint8_t SNAKE_LEVEL_COUNT = 4;

// Indexes of point[]: the painter takes its mark centre from there.
inline constexpr std::uint8_t SNAKE_HEAD = 0;
inline constexpr std::uint8_t SNAKE_FOOD = 1;

// The key codes onKey takes: the four headings, the alternative codes of up
// and down, and the pace.
inline constexpr std::uint8_t KEY_LEFT = 0x11;
inline constexpr std::uint8_t KEY_RIGHT = 0x10;
inline constexpr std::uint8_t KEY_UP = 0x39;
inline constexpr std::uint8_t KEY_UP_ALT = 0x20;
inline constexpr std::uint8_t KEY_DOWN = 0x38;
inline constexpr std::uint8_t KEY_DOWN_ALT = 0x21;
inline constexpr std::uint8_t KEY_FASTER = 0x0A;
inline constexpr std::uint8_t KEY_SLOWER = 0x28;

// Painter passes (paint_state); 0 to 24 are the body runs counted from the head.
inline constexpr std::uint8_t PAINT_TEXT_NEXT = 0xF9;
inline constexpr std::uint8_t PAINT_TEXT = 0xFA;
inline constexpr std::uint8_t PAINT_TEXTS_DONE = 0xFB;
inline constexpr std::uint8_t PAINT_WALL = 0xFC;
inline constexpr std::uint8_t PAINT_WALL_READ = 0xFD;
inline constexpr std::uint8_t PAINT_FOOD = 0xFE;
inline constexpr std::uint8_t PAINT_HEAD = 0xFF;

// One straight piece of the body.
struct body_run_t {
    std::uint8_t back; // heading from the run's head end toward the tail
    std::uint8_t len;  // unit steps, at least 1 while in use
    friend bool operator==(const body_run_t &, const body_run_t &) = default;
};

// The per-level parameters, copied as one block.
struct snake_level_t {
    std::uint8_t speed;        // time calls per step; 0 counts as 256
    std::uint8_t growth;       // steps of growth, and points, per food eaten
    std::uint8_t grid;         // grid spacing, a power of two
    std::uint8_t food_on_body; // nonzero: a candidate on the body is not refused
    friend bool operator==(const snake_level_t &, const snake_level_t &) = default;
};

struct snake_point_t {
    std::uint8_t x;
    std::uint8_t y;
    friend bool operator==(const snake_point_t &, const snake_point_t &) = default;
};

struct snake_t {
    std::uint8_t dir;         // current heading
    std::uint8_t dir_next;    // heading taken at the next grid point, or SNAKE_NO_DIR
    std::uint8_t grow;        // steps during which the tail still stands
    snake_point_t point[2];   // head_x, head_y, then food_x, food_y (a candidate while food_new)
    std::uint8_t food_new;    // the food candidate is not yet accepted
    std::uint8_t food_ok;     // the candidate passed the tests of the frame just painted
    std::uint8_t food_cross;  // crossing count of the food inside test
    std::uint8_t n_texts;     // texts drawn in this frame: 2 + game_over
    std::uint8_t over_y;      // baseline of "Game over!"
    std::uint8_t over_tick;   // time calls while the game is over; never reset
    std::uint8_t move_wait;   // time calls left until the next step is due
    std::uint8_t paint_state; // painter pass; the beam raster reads it too
    std::uint8_t paint_left;  // what is left of the current stroke
    std::uint8_t paint_dir;   // heading of the current stroke
    std::uint8_t paint_x;     // painter cursor; the centre of a mark
    std::uint8_t paint_y;
    std::uint8_t frame_phase;     // 0 painting, 1 frame finished, 2 beam parked
    const std::uint8_t *wall_ptr; // read position in WALL
    std::uint8_t crashed;    // a collision in the frame just painted, not yet seen by the clock
    std::uint8_t text_idx;   // text item being drawn
    std::uint8_t move_due;   // a step is made at the next frame start
    std::uint8_t text_dirty; // rebuild the score and game-over texts at the next frame start
    std::uint8_t grid_mask;  // grid - 1
    std::uint8_t level;      // 1 to 4
    std::uint16_t score;     // wraps modulo 65536
    std::uint8_t game_over;  // the head has hit a wall or the body
    snake_level_t params;    // speed, growth, grid, food_on_body
    std::uint8_t ring_head;  // ring index of the head run, 0 to 24
    std::uint8_t ring_len;   // runs in use, 0 to 25
    body_run_t ring[SNAKE_RING_SIZE]; // the body, run by run from ring_head

    // Field by field, so that padding never makes two equal games differ.
    friend bool operator==(const snake_t &, const snake_t &) = default;
};

// The module's interface to a host.
struct menuitem_t {
    void (*onPixel)(snake_t *s);                 // once per beam tick while painting
    void (*onTimeChanged)(snake_t *s, int t);    // once per frame; t is ignored
    void (*onKey)(snake_t *s, std::uint8_t key); // once per key press
    void (*onEnter)(snake_t *s);                 // once when a game starts
    std::uint8_t flags;                          // 1; unused by this system
};

extern const menuitem_t menuitem_snake;

// Loads the parameters of level 1 to 4; the game in progress is left alone.
void snake_set_level(snake_t *s, std::uint8_t level);

// One step of the snake: turn on a grid point, move, eat, keep the body in
// step; after a crash only the tail shortens.
void move_snake(snake_t *s);
