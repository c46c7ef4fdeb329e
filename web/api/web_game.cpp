#include "web/api/web_game.h"

#include <algorithm>

#include "host/keys/stimuli.h"
#include "web/api/web_export.h"
#include "web/api/web_stepper.h"
#include "web/api/web_text.h"

web_game_t web_game;

namespace {

// pc-snake's game: level 1, the generator's first state, the simulator's pace.
constexpr game_setup_t PAGE_DEFAULTS{};

std::optional<std::uint8_t> named_byte(int v)
{
    return v < 0 ? std::nullopt : std::optional<std::uint8_t>(static_cast<std::uint8_t>(v));
}

void forget_keys_from(key_script_t *keys, std::int64_t n)
{
    std::erase_if(keys->presses, [n](const key_press_t &p) { return p.frame >= n; });
}

// From then on the run's keys differ from those its period was sought with.
void keys_changed() { web_game.run.cycle = run_cycle_t{}; }

void start(const game_setup_t &setup, key_script_t keys)
{
    web_stepper_drop();
    web_game.run.setup = setup;
    web_game.run.keys = std::move(keys);
    web_game.queue.clear();
    web_game.stopped.reset();
    run_start(&web_game.run);
}

frame_use_t use_of(int use)
{
    switch (use) {
    case 1: return frame_use_t::light;
    case 2: return frame_use_t::asked;
    default: return frame_use_t::unheard;
    }
}

int outcome(const beam_fault_t &fault)
{
    if (!beam_faulted(fault))
        return WEB_PLAYED;
    web_game.stopped = fault;
    return WEB_BROKE_OFF;
}

} // namespace

std::uint8_t web_game_key_after(std::int64_t n)
{
    scripted_run_t &run = web_game.run;
    if (!web_game.queue.empty()) {
        forget_keys_from(&run.keys, n);
        run.keys.presses.push_back({n, web_game.queue.front()});
        web_game.queue.pop_front();
        keys_changed();
    }
    return key_after(run.keys, n);
}

void web_game_end_frame()
{
    scripted_run_t &run = web_game.run;
    raster_end_frame();
    if (beam_faulted(raster.fault)) {
        web_game.stopped = raster.fault;
        return;
    }
    const std::int64_t n = run.drawn + 1;
    finish_frame(&run.game, web_game_key_after(n));
    run.drawn = n;
    if (run.drawn >= last_key_frame(run.keys))
        cycle_observe(&run.cycle, run.game, run.drawn, run.cycle_search_frames);
}

WEB_EXPORT("web_start")
int web_start(int level, int seed, int speed, int growth, int device, int name_length,
              int script_length)
{
    key_script_t script = builtin_key_script();
    if (script_length >= 0) {
        const std::string name(web_input_text(0, static_cast<std::size_t>(name_length)));
        const std::string_view text = web_input_text(static_cast<std::size_t>(name_length),
                                                     static_cast<std::size_t>(script_length));
        std::string error;
        if (!parse_key_script(text, name, &script, &error)) {
            web_output(error);
            return 1;
        }
    }
    game_settings_t page;
    page.level = named_byte(level);
    page.seed =
        seed < 0 ? std::nullopt : std::optional<std::uint16_t>(static_cast<std::uint16_t>(seed));
    page.speed = named_byte(speed);
    page.growth = named_byte(growth);
    page.device = device > 0;
    const game_setup_t setup = settle_setup(page, script.settings, PAGE_DEFAULTS);
    start(setup, std::move(script));
    return 0;
}

WEB_EXPORT("web_new_game") void web_new_game(int level)
{
    game_setup_t setup = web_game.run.setup;
    if (level >= 1 && level <= SNAKE_LEVEL_COUNT)
        setup.level = static_cast<std::uint8_t>(level);
    setup.seed = ::seed; // the generator as the last game left it
    start(setup, key_script_t{});
}

WEB_EXPORT("web_key") int web_key(int code)
{
    if (web_game.stopped || code < 1 || code > 255 || web_game.queue.size() >= WEB_KEY_QUEUE_LIMIT)
        return 0;
    web_game.queue.push_back(static_cast<std::uint8_t>(code));
    return 1;
}

WEB_EXPORT("web_play_frame") int web_play_frame()
{
    if (web_game.stopped)
        return WEB_STOPPED;
    if (web_stepper_open()) { // the frame being stepped through is the one to finish
        web_stepper_finish();
        return web_game.stopped ? WEB_BROKE_OFF : WEB_PLAYED;
    }
    scripted_run_t &run = web_game.run;
    const std::int64_t n = run.drawn + 1;
    web_game_key_after(n); // a waiting key joins the script before the frame is played
    return outcome(run_to_frame(&run, n, frame_use_t::asked));
}

WEB_EXPORT("web_rewind") int web_rewind(int n)
{
    web_stepper_finish();
    scripted_run_t &run = web_game.run;
    if (n <= run.drawn || web_game.stopped) {
        web_game.queue.clear(); // pressed at a later frame: they mean nothing at n
        web_game.stopped.reset();
        run_start(&run);
    } else if (!web_game.queue.empty()) {
        forget_keys_from(&run.keys, run.drawn + 1);
        std::int64_t frame = run.drawn;
        for (const std::uint8_t key : web_game.queue)
            run.keys.presses.push_back({++frame, key});
        web_game.queue.clear();
        keys_changed();
    }
    return static_cast<int>(run.drawn);
}

WEB_EXPORT("web_play_to") int web_play_to(int n, int use)
{
    if (web_game.stopped)
        return WEB_STOPPED;
    return outcome(run_to_frame(&web_game.run, n, use_of(use)));
}

WEB_EXPORT("web_recording") int web_recording()
{
    const scripted_run_t &run = web_game.run;
    key_script_t recording;
    recording.settings = settings_of(run.setup);
    for (const key_press_t &p : run.keys.presses)
        if (p.frame <= run.drawn)
            recording.presses.push_back(p);
    web_output(format_key_script(recording));
    return web_output_length();
}

WEB_EXPORT("web_fault_text") int web_fault_text()
{
    if (!web_game.stopped) {
        web_output({});
        return 0;
    }
    const beam_fault_t &f = *web_game.stopped;
    web_output(beam_fault_message(f) + beam_fault_place(f) + ": " + beam_fault_reason(f));
    return web_output_length();
}
