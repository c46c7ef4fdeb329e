// A live session of the game on the beam raster: the game in play, the keys
// waiting for it, the recording of it, pause, a frame that broke the beam's
// budget, and the glow on the screen. Window-free: the driver feeds it
// inputs, asks for a frame at its own pace and shows `glow`.
// Every frame is asked for: its afterglow is exactly the one pc-snake prints
// of its last frame.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "host/keys/key_script.h"
#include "host/play/game_recording.h"
#include "host/play/glow.h"
#include "host/play/play_keys.h"
#include "host/sim/afterglow.h"
#include "host/sim/beam_raster.h"

struct play_session_t {
    game_setup_t setup;                   // the game in play
    snake_t game{};                       // its record
    key_script_t recording;               // its setup and the keys it took
    const key_script_t *replay = nullptr; // keys of a demo being replayed, or none
    key_queue_t queue;                    // pressed keys waiting for a frame
    std::int64_t drawn = 0;               // frames of this game drawn; numbers count from 1
    std::int64_t frames_played = 0;       // frames drawn in all games
    std::int64_t games = 0;               // games started
    bool paused = false;
    std::optional<beam_fault_t> stopped;       // the game stopped on a frame the beam broke off
    afterglow_t frame{};                       // the afterglow of the frame being played
    std::optional<beam_listening_t> listening; // the raster's listener that lights it
    glow_t glow{};                             // what the screen shows
    double decay = 0.0;                        // glow kept per frame (decay_after)
};

// Starts a game with `setup`, replaying `replay` when given (it must outlive
// the game). Keeps the glow, so the last game fades away.
void session_start(play_session_t *s, const game_setup_t &setup,
                   const key_script_t *replay = nullptr);

// A new game at `level` (0: the current one), seeded with the generator's
// state so that it differs from the last.
void session_new_game(play_session_t *s, std::uint8_t level);

// Handles a game key, a new game or pause; other inputs are the driver's.
void session_input(play_session_t *s, const play_input_t &input);

// Plays one frame unless paused or stopped: its picture goes into the glow,
// then the module takes the key for it. A frame the beam breaks off (over the
// budget, a slanted wall line) stops the game and is shown as far as it got.
// Returns whether a frame was played.
bool session_step(play_session_t *s);

// session_step in parts, for a driver that shows a frame being painted: the
// frame begins, is painted one pixel call at a time until the painter has
// finished it or it broke the budget (or the rest of it at once, while it
// is not finished), and ends as in session_step. They play whether paused
// or not; the driver decides.
void session_frame_begin(play_session_t *s);
bool session_paint_step(play_session_t *s); // whether the frame is painted
void session_paint_rest(play_session_t *s);
void session_frame_end(play_session_t *s);

// The on-screen message of a stopped game, several lines.
std::string stop_message(const beam_fault_t &stop);
