#include "host/play/play_options.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "host/play/frame_pacer.h"
#include "host/play/game_recording.h"
#include "host/play/play_keys.h"

namespace {

constexpr const char *DESCRIPTION =
    "snake-play: the Snake game module live in a window, on the simulator's beam with\n"
    "its afterglow fading as on a tube. It drives the module as the device does: the\n"
    "beam points of a frame, then at most one key, then the clock, at a steady rate.\n";

constexpr const char *EXAMPLES = R"(
Examples:
  snake-play                          play level 1 at the device's pace
  snake-play --level 3 --record game.keys
                                      play level 3 and keep the game as a key script
  snake-render --keys game.keys ...   renders the recorded game's frames exactly
  snake-play --keys game.keys         replay a recorded game as a demo
  snake-play --sim --persistence 0 --keys builtin --frames 400 --fps 0 --screenshot f.png
                                      pc-snake's scripted game; f.png has the pixels of
                                      `pc-snake 1 400`

Exit status: 0 done, 1 bad options or key script, 2 or 3 the game stopped on a frame
over the beam's budget (2000 ticks) or on a slanted wall line, 4 a file could not be
written (the other outputs are still written), 5 no window could be opened.
)";

std::string footer()
{
    std::string text = "\nKeys:\n";
    for (const key_help_t &k : KEY_HELP) {
        std::string keys = k.keys;
        keys.resize(18, ' ');
        text += "  " + keys + k.effect + "\n";
    }
    text += "  One key reaches the module per frame; more presses in a frame wait their turn.\n"
            "  During a replay (--keys) a steering or pace key hands the game over.\n";
    return text + EXAMPLES;
}

bool read_file(const std::string &path, std::string *text, std::string *error)
{
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read " + path + ": " + std::strerror(errno != 0 ? errno : ENOENT);
        return false;
    }
    std::ostringstream all;
    all << in.rdbuf();
    if (in.bad()) {
        *error = "cannot read " + path + ": read error";
        return false;
    }
    *text = all.str();
    return true;
}

bool load_keys(const std::string &name, key_script_t *keys, std::string *error)
{
    if (name == "builtin") {
        *keys = builtin_key_script();
        return true;
    }
    std::string text;
    return read_file(name, &text, error) && parse_key_script(text, name, keys, error);
}

template <class T> std::string number_text(T v)
{
    std::ostringstream out;
    out << v;
    return out.str();
}

// A number from lo to hi; the message names the value and the range.
template <class T> CLI::Validator within(T lo, T hi)
{
    return CLI::Validator(
        [lo, hi](std::string &text) -> std::string {
            T v{};
            if (!CLI::detail::lexical_cast(text, v))
                return "'" + text + "' is not a number";
            if (!(v >= lo && v <= hi))
                return text + " is not from " + number_text(lo) + " to " + number_text(hi);
            return {};
        },
        "", "");
}

int usage_error(const std::string &message)
{
    std::cerr << "snake-play: " << message << "\nRun with --help for more information.\n";
    return EXIT_PLAY_USAGE;
}

} // namespace

int parse_play_options(int argc, char **argv, play_options_t *out)
{
    CLI::App app{DESCRIPTION, "snake-play"};
    app.set_version_flag("--version", "snake-play 1.0");
    app.get_formatter()->column_width(22);
    app.footer(footer());

    int level = 1;
    int seed_value = parith::INITIAL_SEED;
    std::string keys_name;
    bool sim = false;
    auto *level_opt = app.add_option("--level", level, "level 1 to 4 (default 1)")
                          ->type_name("L")
                          ->check(within(1, 4));
    auto *seed_opt = app.add_option("--seed", seed_value,
                                    "the generator's state at the start, 1 to 32767 "
                                    "(default 8704, pc-snake's)")
                         ->type_name("S")
                         ->check(within(1, 32767));
    auto *sim_opt = app.add_flag("--sim", sim,
                                 "the simulator's pace (speed 1, growth 20) instead of the "
                                 "level table's");
    app.add_option("--keys", keys_name,
                   "replay a key script (a file, or 'builtin' for pc-snake's) as a demo")
        ->type_name("FILE");
    app.add_option("--record", out->record_path,
                   "keep the game in play as a key script (rewritten at each new game and "
                   "at exit)")
        ->type_name("FILE");
    app.add_option("--screenshot", out->screenshot_path,
                   "at exit, save the last frame as shown as a 256 x 256 PNG")
        ->type_name("FILE");
    app.add_option("--frames", out->frames, "end after N frames")
        ->type_name("N")
        ->check(within(std::int64_t{1}, KEY_SCRIPT_MAX_FRAME));
    app.add_option("--persistence", out->persistence_ms,
                   "afterglow: milliseconds to fade to half; 0 shows each frame alone "
                   "(default 100)")
        ->type_name("MS")
        ->check(within(0.0, PERSISTENCE_MAX_MS));
    app.add_option("--fps", out->fps, "frames per second (default 50); 0 runs unthrottled")
        ->type_name("N")
        ->check(within(0, PLAY_FPS_MAX));
    app.add_option("--scale", out->scale, "the window's first size: 256 times N (default 3)")
        ->type_name("N")
        ->check(within(1, WINDOW_SCALE_MAX));
    app.add_flag("--fill", out->fill,
                 "scale the picture to fill the window instead of by whole steps");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp &e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion &e) {
        return app.exit(e);
    } catch (const CLI::ParseError &e) {
        return usage_error(e.what());
    }

    game_setup_t &setup = out->setup;
    setup.device_pace = true;
    if (!keys_name.empty()) {
        std::string error;
        if (!load_keys(keys_name, &out->keys, &error))
            return usage_error(error);
        out->replay = true;
        apply_script_setup(out->keys, &setup);
    }
    if (level_opt->count() > 0)
        setup.level = static_cast<std::uint8_t>(level);
    if (seed_opt->count() > 0)
        setup.seed = static_cast<std::uint16_t>(seed_value);
    if (sim_opt->count() > 0) {
        setup.device_pace = false;
        setup.speed = SIM_SPEED;
        setup.growth = SIM_GROWTH;
    }
    return -1;
}
