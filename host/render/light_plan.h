// How a render brings the tube's light to the frame before each frame it
// writes, playing as few frames as it can. A tube frame carries the fading
// light of the frames before it: the run either plays them for their light
// (the frame's history: until the brightest light has faded below a step
// of the colours), or, once the game is in its cycle of P frames, the tube
// learns one period (what it keeps of the light before it, D, and the light
// it adds, B) and leaps over whole periods: L(f + kP) = D^k L(f) + B (1 -
// D^k) / (1 - D). Each frame takes the way that plays fewer frames.
#pragma once

#include <cstdint>

#include "host/keys/key_script.h"
#include "host/sim/frame_loop.h"

struct light_plan_t {
    std::int64_t history = 0; // frames a frame's light needs; 0: none (exact look, no persistence)
    std::int64_t since = 0;   // the frames after this one repeat every `period` frames
    std::int64_t period = 0;  // 0: not known
};

// The plan for frames up to `last` of the game that `setup` and `keys` play,
// with `history` frames of light to each: the game's period, when a leap
// could pay, found by playing the game ahead, unheard.
light_plan_t plan_light(std::int64_t history, const game_setup_t &setup, const key_script_t &keys,
                        std::int64_t last);

// Where the tube's light stands.
struct light_state_t {
    std::int64_t heard = 0;  // the frame whose light the tube holds (0: none yet)
    std::int64_t base = 0;   // the frame the learned period starts after (0: none learned)
    std::int64_t prefix = 0; // the frames of it whose light is kept as well
};

// The way to frame m's light: frames heard first, for the history or up to
// the base; then, maybe, the period after them learned; then, maybe, a leap
// over whole periods past the base and the prefix; then frames heard after
// the leap. Ranges of frames are empty when `from` exceeds `to`.
struct light_route_t {
    std::int64_t play_from = 1;
    std::int64_t play_to = 0;
    bool learn = false;       // the period after play_to, with a prefix of `prefix` frames
    std::int64_t prefix = 0;  // (the prefix learned or leapt over)
    std::int64_t periods = 0; // 0: no leap
    bool leap_prefix = false;
    std::int64_t then_from = 1;
    std::int64_t then_to = 0;
};

// The route for the light of frame m (above state.heard), and the state after it.
light_route_t light_route(const light_plan_t &plan, const light_state_t &state, std::int64_t m);
light_state_t light_state_after(const light_state_t &state, const light_route_t &route,
                                std::int64_t m);
