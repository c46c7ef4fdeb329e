#include "host/play/play_session.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "host/sim/beam_raster.h"
#include "host/sim/scripted_run.h"
#include "parith/parith15.h"

void session_start(play_session_t *s, const game_setup_t &setup, const key_script_t *replay)
{
    s->setup = setup;
    s->recording = recording_start(setup);
    s->replay = replay;
    s->queue = key_queue_t{};
    s->drawn = 0;
    s->paused = false;
    s->stopped.reset();
    ++s->games;
    frame = 0;
    start_game(&snake, setup);
}

void session_new_game(play_session_t *s, std::uint8_t level)
{
    game_setup_t next = s->setup;
    if (level != 0)
        next.level = level;
    next.seed = seed;
    session_start(s, next);
}

void session_input(play_session_t *s, const play_input_t &input)
{
    switch (input.action) {
    case play_action_t::game_key:
        if (s->paused || s->stopped)
            return;          // a turn pressed while nothing moves would surprise on resume
        s->replay = nullptr; // the player takes over a demo
        key_queue_push(&s->queue, input.value);
        return;
    case play_action_t::new_game: session_new_game(s, input.value); return;
    case play_action_t::pause:
        if (!s->stopped)
            s->paused = !s->paused;
        return;
    default: return;
    }
}

namespace {

// The screen's lines as one line on stderr.
void report_stop(const play_stop_t &stop)
{
    std::string line = stop_message(stop);
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::fprintf(stderr, "snake-play: %s\n", line.c_str());
}

} // namespace

bool session_step(play_session_t *s)
{
    if (s->paused || s->stopped)
        return false;
    const std::int64_t number = s->drawn + 1;
    const std::uint8_t key =
        s->replay != nullptr ? key_after(*s->replay, number) : key_queue_take(&s->queue);
    try {
        play_raster_frame(number, key);
    } catch (const beam_abort_t &abort) {
        s->stopped = play_stop_t{abort.status, number, abort.pass, beam_budget.total};
        report_stop(*s->stopped);
    }
    glow_add_frame(s->glow, pixel, s->decay);
    ++s->frames_played;
    if (s->stopped)
        return true;
    recording_add(&s->recording, number, key);
    s->drawn = number;
    return true;
}

std::string stop_message(const play_stop_t &stop)
{
    const char *pass = BEAM_PASS_NAMES[static_cast<std::size_t>(stop.pass)];
    const std::string where = "frame " + std::to_string(stop.frame) + ", pass " + pass;
    if (stop.status == EXIT_DIAGONAL_JOIN)
        return where + ":\na wall line that is\nneither level nor upright.\nThe game stops here.";
    return where + ":\nmore than " + std::to_string(BEAM_TICK_LIMIT) +
           " beam ticks.\nThe game stops here.";
}
