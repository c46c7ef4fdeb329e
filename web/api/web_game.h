// The game on the page: one game at a time on the core's raster, started from
// a key script (the built-in one, a dropped or linked one, or none), played a
// frame at a time with the player's keys, or taken to any frame at once (the
// leap). Its keys are one script: what reached the module up to the frame
// drawn, which is the recording, and ahead of it the keys of a script being
// replayed, until a game key of the player takes over.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>

#include "host/sim/scripted_run.h"

// Keys a player may press ahead of the frames, as in snake-play.
inline constexpr std::size_t WEB_KEY_QUEUE_LIMIT = 32;

struct web_game_t {
    scripted_run_t run;                  // setup, keys, record, frames drawn, the period
    std::deque<std::uint8_t> queue;      // game keys pressed, one taken after each frame
    std::optional<beam_fault_t> stopped; // the frame drawn + 1 that the beam broke off
};

extern web_game_t web_game;

// The key the module takes after frame n: the player's first waiting key,
// which replaces the script from n on, or else the script's.
std::uint8_t web_game_key_after(std::int64_t n);

// Frame drawn + 1, painted pixel call by pixel call on the raster, is over:
// its end is heard, then its key and time call, as run_to_frame plays it.
void web_game_end_frame();

// Answers of web_play_frame and web_play_to.
inline constexpr int WEB_PLAYED = 0;
inline constexpr int WEB_BROKE_OFF = 1; // the frame broke the beam's budget or drew a slanted wall
inline constexpr int WEB_STOPPED = 2;   // the game had stopped already

extern "C" {
// Starts a game. Settings are -1 where the page names none; the page's names
// win over the script's, which win over pc-snake's (level 1, its seed, speed
// 1, growth 20). script_length -1 plays the built-in script; otherwise the
// input holds the script's name (name_length bytes), then its text. Returns
// 0, or 1 with "NAME:LINE: what is wrong" in the output; the game in play is
// then left as it was.
int web_start(int level, int seed, int speed, int growth, int device, int name_length,
              int script_length);
// A new game without a script at `level` (0: the current one), seeded with
// the generator's state, so that each game differs, at the same pace.
void web_new_game(int level);
// A game key pressed; false when the game has stopped or too many wait.
int web_key(int code);
// Plays frame drawn + 1 for the user, with its key.
int web_play_frame();
// Before going to frame n: an open frame is finished, waiting keys join the
// script one a frame, and a game past n starts again (its keys replay).
// Returns the frames drawn: frames from there on up to n are still to play.
int web_rewind(int n);
// Plays on to frame n (past the frames drawn), unheard but for frame n,
// played for `use`: 0 its state alone, 1 its light, 2 the user.
int web_play_to(int n, int use);
// The recording in the output: the game's settings and the keys the module
// took, as a key script; returns its length.
int web_recording();
// Why the game stopped, in the output: pc-snake's message, then the frame and
// pass and the reason; returns its length (0 while it goes on).
int web_fault_text();
}
