// snake-play: the game module live in a window. The shared frame loop drives
// it on the simulator's beam raster at a steady rate; the player's keys reach
// it one per frame; the screen keeps the phosphor's afterglow. See --help.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "host/image/png_writer.h"
#include "host/io/output_checks.h"
#include "host/io/output_target.h"
#include "host/io/start_descriptors.h"
#include "host/options/exit_status.h"
#include "host/options/file_endings.h"
#include "host/options/option_help.h"
#include "host/play/beam_stepper.h"
#include "host/play/frame_pacer.h"
#include "host/play/play_picture.h"
#include "host/play/play_session.h"
#include "host/play/step_picture.h"
#include "host/snake-play/play_audio.h"
#include "host/snake-play/play_options.h"
#include "host/snake-play/play_signals.h"
#include "host/snake-play/play_window.h"
#include "host/tube/tube.h"

namespace {

// With sound the frames come faster than a monitor shows them (about 180 a
// second at 100000 ticks); the screen is drawn at a monitor's rate, the glow
// takes every frame.
constexpr int AUDIO_SCREEN_FPS = 60;

struct play_run_t {
    play_options_t options;
    play_session_t session;
    beam_stepper_t stepper; // slow motion and single ticks
    play_window_t *window = nullptr;
    std::unique_ptr<tube_t> tube; // the tube look, listening to every frame
    bool write_failed = false;    // some output could not be written
    std::string last_error;       // said once, not at every rewrite of the recording
    bool quit = false;
    live_audio_t *audio = nullptr; // with --audio
    // When the window is drawn next, with --audio.
    frame_pacer_t screen = pacer_for_fps(AUDIO_SCREEN_FPS);
};

bool write_output(play_run_t *run, const std::string &path, const void *data, std::size_t n)
{
    std::string error;
    if (output_write(path, data, n, &error))
        return true;
    if (error != run->last_error)
        std::fprintf(stderr, "snake-play: %s\n", shown_name(error).c_str());
    run->last_error = error;
    run->write_failed = true;
    return false;
}

// A file is rewritten at each new game, so that it is valid whenever the
// player stops; a stream (a pipe, standard output) can only take the last.
void write_recording(play_run_t *run, bool at_exit = false)
{
    const std::string &path = run->options.record_path;
    if (path.empty() || (!at_exit && output_is_stream(path)))
        return;
    const std::string text = format_key_script(run->session.recording);
    write_output(run, run->options.record_path, text.data(), text.size());
}

// The picture as shown, in the run's look; a frame being stepped through is
// shown as far as it is drawn, point by point.
rgb_image_t shown_picture(play_run_t *run)
{
    if (run->stepper.open)
        return step_picture(run->stepper);
    if (run->tube)
        return play_picture(run->session, run->tube->picture());
    return play_picture(run->session);
}

void write_picture(play_run_t *run, const std::string &path)
{
    std::vector<std::uint8_t> png;
    try {
        png = encode_png(shown_picture(run));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "snake-play: cannot write %s: %s\n", shown_name(path).c_str(),
                     failure_reason(e).c_str());
        run->write_failed = true;
        return;
    }
    if (write_output(run, path, png.data(), png.size()) && path != run->options.screenshot_path)
        std::fprintf(stderr, "snake-play: saved %s\n", shown_name(path).c_str());
}

// F12: snake-play-N.png with the first N not taken in the current folder.
void save_screenshot(play_run_t *run)
{
    for (int n = 1; n < 100000; ++n) {
        const std::string path = "snake-play-" + std::to_string(n) + ".png";
        if (std::FILE *f = std::fopen(path.c_str(), "rb")) {
            std::fclose(f);
            continue;
        }
        write_picture(run, path);
        return;
    }
}

void handle(play_run_t *run, const play_input_t &input)
{
    switch (input.action) {
    case play_action_t::quit: run->quit = true; return;
    case play_action_t::screenshot: save_screenshot(run); return;
    case play_action_t::step: stepper_step(&run->stepper, &run->session); return;
    case play_action_t::slow_motion: stepper_toggle_slow(&run->stepper); return;
    case play_action_t::new_game:
        stepper_drop(&run->stepper);
        session_input(&run->session, input);
        write_recording(run);
        return;
    default: session_input(&run->session, input); return;
    }
}

// A game the beam stopped, said once on stderr as pc-snake says it, then in
// the screen's words; the recording is kept, as the player may close the
// window next.
void game_stopped(play_run_t *run)
{
    const beam_fault_t &stop = *run->session.stopped;
    std::string line = stop_message(stop);
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::fputs(beam_fault_message(stop).c_str(), stderr);
    std::fprintf(stderr, "snake-play: %s\n", line.c_str());
    write_recording(run);
}

bool screen_due(play_run_t *run)
{
    if (pacer_wait_us(run->screen, clock_us()) > 0)
        return false;
    pacer_frame_started(&run->screen, clock_us());
    return true;
}

// Inputs first, so a key pressed now reaches the game after this frame.
void play_one_frame(play_run_t *run, std::vector<play_input_t> *inputs)
{
    const bool was_stopped = run->session.stopped.has_value();
    inputs->clear();
    window_poll(run->window, inputs);
    for (const play_input_t &input : *inputs)
        handle(run, input);
    if (run->quit)
        return;
    // In slow motion the stepper paints the frame; the sound then keeps the last one.
    const bool stepped = stepper_run(&run->stepper, &run->session, clock_us());
    const bool played = !stepped && session_step(&run->session);
    if (run->audio != nullptr) {
        live_audio_after_step(run->audio, played && !run->session.stopped);
        // Frames last as long as their ticks: the glow fades by the last one's time.
        run->session.decay =
            decay_after(live_audio_frame_ms(run->audio), run->options.look.tube.persistence_ms);
    }
    if (!was_stopped && run->session.stopped)
        game_stopped(run);
    if (run->audio == nullptr || screen_due(run))
        window_show(run->window, shown_picture(run));
}

bool finished(play_run_t *run)
{
    const std::int64_t limit = run->options.frames;
    if (stop_signal() != 0)
        run->quit = true; // as closing the window
    if (run->quit)
        return true;
    // A scripted run ends on a stopped game: nothing would come after it.
    return limit > 0 && (run->session.frames_played >= limit || run->session.stopped);
}

void play(play_run_t *run)
{
    frame_pacer_t pacer = pacer_for_fps(run->options.fps);
    std::vector<play_input_t> inputs;
    while (!finished(run)) {
        // With sound, a frame is due when the sound has nearly played the last.
        const std::int64_t wait = run->audio != nullptr ? live_audio_wait_us(run->audio)
                                                        : pacer_wait_us(pacer, clock_us());
        if (wait > 0) {
            window_wait(run->window, std::min(wait, STOP_SIGNAL_WAIT_US));
            continue;
        }
        pacer_frame_started(&pacer, clock_us());
        play_one_frame(run, &inputs);
    }
}

int exit_status(const play_run_t &run)
{
    if (stop_signal() != 0)
        return 128 + stop_signal();
    if (run.write_failed)
        return EXIT_WRITE_FAILED;
    return run.session.stopped ? exit_status_of(*run.session.stopped) : 0;
}

bool open_audio(play_run_t *run)
{
    std::string said;
    std::string error;
    run->audio = live_audio_open(run->options.signal, &said, &error);
    std::fprintf(stderr, "snake-play: %s\n", run->audio != nullptr ? said.c_str() : error.c_str());
    return run->audio != nullptr;
}

// A run that ended by itself lets the sound play out; a player who quits
// wants silence now.
void close_audio(play_run_t *run)
{
    const std::int64_t underruns = live_audio_close(run->audio, !run->quit);
    run->audio = nullptr;
    if (underruns > 0)
        std::fprintf(stderr,
                     "snake-play: the sound ran dry %s (the device found the queue short): "
                     "the picture on a scope broke up there\n",
                     underruns == 1 ? "once" : (std::to_string(underruns) + " times").c_str());
}

// The outputs and the script played, together before any work: a missing
// folder, one file under two names, both outputs on standard output.
bool check_files(const play_options_t &o, std::string *error)
{
    std::vector<run_file_t> files;
    if (!o.record_path.empty())
        files.push_back({"--record", o.record_path, true});
    if (!o.screenshot_path.empty())
        files.push_back({"--screenshot", o.screenshot_path, true});
    if (!o.keys_path.empty() && o.keys_path != "builtin")
        files.push_back({"--keys", o.keys_path, false});
    return check_run_files(files, error);
}

int play_main(int argc, char **argv)
{
    // Before anything is opened: a closed standard output stays refused.
    secure_standard_descriptors();
    static play_run_t run; // the glow is half a megabyte
    const int parsed = parse_play_options(argc, argv, &run.options);
    if (parsed >= 0)
        return parsed;
    const play_options_t &o = run.options;

    std::string error;
    if (!check_files(o, &error)) {
        std::fprintf(stderr, "snake-play: %s\n", error.c_str());
        return EXIT_USAGE;
    }
    install_stop_signals();
    // A run that ends by itself and keeps its last picture needs no screen.
    const bool headless_ok = o.frames > 0 && !o.screenshot_path.empty();
    const bool tube = o.look.look == look_t::tube;
    run.window = window_open(o.scale, o.fill, headless_ok, tube ? o.look.tube.size : SCREEN_SIDE,
                             tube, &error);
    if (run.window == nullptr) {
        std::fprintf(stderr, "snake-play: %s\n", error.c_str());
        return EXIT_NO_DEVICE;
    }
    if (o.audio && !open_audio(&run)) {
        window_close(run.window);
        return EXIT_NO_DEVICE;
    }
    // Both looks fade by the frame's time as shown; with --audio by each frame's
    // length as the sound plays it (play_one_frame).
    run.session.decay = decay_after(o.look.tube.frame_ms, o.look.tube.persistence_ms);
    std::optional<beam_listening_t> listening;
    if (tube) {
        run.tube = std::make_unique<tube_t>(o.look.tube);
        listening.emplace(run.tube->listener());
    }
    session_start(&run.session, o.setup, o.replay ? &o.keys : nullptr);
    run.stepper.ticks_per_second = o.slow_tps;
    run.stepper.slow = o.slow;
    write_recording(&run);

    play(&run);
    if (run.audio != nullptr)
        close_audio(&run);

    if (!o.screenshot_path.empty())
        write_picture(&run, o.screenshot_path);
    write_recording(&run, true);
    window_close(run.window);
    return exit_status(run);
}

} // namespace

int main(int argc, char **argv)
{
    try {
        return play_main(argc, argv);
    } catch (const std::bad_alloc &) {
        return out_of_memory("snake-play");
    }
}
