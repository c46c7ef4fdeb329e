#include "host/play/play_session.h"

#include <string>

#include "host/sim/frame_loop.h"
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
    s->listening.emplace(afterglow_listener(&s->frame));
    raster_watch(&s->game);
    start_game(&s->game, setup);
}

void session_new_game(play_session_t *s, std::uint8_t level)
{
    game_setup_t next = s->setup;
    if (level != 0)
        next.level = level;
    next.seed = ::seed; // the generator's state as the last game left it
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

// Characters a line of the stop message holds on the screen.
constexpr std::size_t STOP_LINE_MAX = 24;

// Words into lines of at most `most` characters (a longer word alone).
std::string wrapped(const std::string &text, std::size_t most)
{
    std::string out;
    std::size_t line = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        const std::size_t word = end - start;
        if (line > 0 && line + 1 + word > most) {
            out += '\n';
            line = 0;
        } else if (line > 0) {
            out += ' ';
            ++line;
        }
        out.append(text, start, word);
        line += word;
        start = end + 1;
    }
    return out;
}

} // namespace

bool session_step(play_session_t *s)
{
    if (s->paused || s->stopped)
        return false;
    session_frame_begin(s);
    session_paint_rest(s);
    session_frame_end(s);
    return true;
}

void session_frame_begin(play_session_t *s)
{
    raster_begin_frame(s->drawn + 1, frame_use_t::asked);
}

bool session_paint_step(play_session_t *s)
{
    if (!raster_paint_step(&s->game))
        return false;
    if (beam_faulted(raster.fault))
        s->stopped = raster.fault;
    return true;
}

void session_paint_rest(play_session_t *s)
{
    while (!session_paint_step(s)) {
    }
}

// The key is taken once the frame is painted: the module takes it then.
void session_frame_end(play_session_t *s)
{
    raster_end_frame();
    glow_add_frame(s->glow, s->frame.pixel.data(), s->decay);
    ++s->frames_played;
    if (s->stopped)
        return;
    const std::int64_t number = s->drawn + 1;
    const std::uint8_t key =
        s->replay != nullptr ? key_after(*s->replay, number) : key_queue_take(&s->queue);
    finish_frame(&s->game, key);
    recording_add(&s->recording, number, key);
    s->drawn = number;
}

std::string stop_message(const beam_fault_t &stop)
{
    return beam_fault_place(stop) + ":\n" + wrapped(beam_fault_reason(stop), STOP_LINE_MAX) +
           ".\nThe game stops here.";
}
