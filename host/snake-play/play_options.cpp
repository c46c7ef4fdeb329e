#include "host/snake-play/play_options.h"

#include "host/keys/key_script_file.h"
#include "host/options/companions.h"
#include "host/options/file_endings.h"
#include "host/options/game_options.h"
#include "host/options/option_completion.h"
#include "host/options/option_help.h"
#include "host/options/signal_options.h"
#include "host/play/frame_pacer.h"
#include "host/play/play_keys.h"

namespace {

constexpr const char *PROGRAM = "snake-play";

constexpr const char *DESCRIPTION =
    "snake-play: the Snake game module live in a window, on the simulator's beam with\n"
    "its afterglow fading as on a tube. It drives the module as the device does: the\n"
    "beam points of a frame, then at most one key, then the clock, at a steady rate.\n"
    "The picture is a glowing phosphor (--look tube, with its knobs) or pc-snake's\n"
    "exact one (--look exact).\n";

constexpr const char *EXAMPLES = R"(
Examples:
  snake-play                          play level 1 at the device's pace
  snake-play --level 3 --record game.keys
                                      play level 3 and keep the game as a key script
  snake-render --keys game.keys ...   renders the recorded game's frames exactly
  snake-play --keys game.keys         replay a recorded game as a demo
  snake-play --look exact             pc-snake's exact picture, each point a square
  snake-play --audio                  the beam on the sound card's line out, for a scope in
                                      XY mode (left X, right Y)
  snake-play --brightness 2 --persistence 400
                                      a brighter tube with a longer trail
  snake-play --look exact --persistence 0 --keys builtin --frames 400 --fps 0
             --screenshot f.png       pc-snake's scripted game; f.png has the pixels of
                                      `pc-snake 1 400`

Exit status: 0 done, 1 bad options or key script, 2 or 3 the game stopped on a frame
over the beam's budget (2000 ticks) or on a slanted wall line, 4 a file could not be
written (the other outputs are still written), 5 no window (or, with --audio, no sound
device) could be opened.
)";

// The device's game: the level table's own pace.
constexpr game_setup_t PLAY_DEFAULTS{1, parith::INITIAL_SEED, true, SIM_SPEED, SIM_GROWTH};

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

void add_options(CLI::App &app, play_options_t *out, game_options_t *game)
{
    add_number(app, "--level", game->settings.level, "level", 1, 4,
               number_text(PLAY_DEFAULTS.level), "L");
    add_game_options(
        app, game, PLAY_DEFAULTS,
        "replay a key script as a demo: a file, or builtin (pc-snake's game at its pace)");
    complete_files(app.add_option("--record", out->record_path,
                                  "keep the game in play as a key script (rewritten at each new "
                                  "game and at exit)")
                       ->type_name("FILE"));
    complete_files(app.add_option("--screenshot", out->screenshot_path,
                                  "at exit, save the last frame as shown as a PNG (256 x 256, or "
                                  "--size on the tube)")
                       ->type_name("FILE"),
                   {".png"});
    add_number(app, "--frames", out->frames, "end after N frames", std::int64_t{1},
               KEY_SCRIPT_MAX_FRAME, "");
    add_number(app, "--fps", out->fps, "frames per second (0: unthrottled)", 0, PLAY_FPS_MAX,
               number_text(out->fps));
    add_number(app, "--scale", out->scale, "the window's first size, 256 times N", 1,
               WINDOW_SCALE_MAX, number_text(out->scale));
    app.add_flag("--fill", out->fill,
                 "scale the picture to fill the window instead of by whole steps");
    add_look_options(app, &out->look, look_t::tube, "afterglow: milliseconds to fade to half");
    add_number(app, "--slow", out->slow_tps, "start in slow motion at N beam ticks a second", 1,
               SLOW_TICKS_PER_SECOND_MAX, number_text(out->slow_tps));
    app.add_flag("--audio", out->audio,
                 "the beam as XY audio for an oscilloscope; frames keep the sound's pace");
    add_signal_options(app, &out->signal);
}

// The options that mean something only beside another.
constexpr companion_rule_t COMPANIONS[] = {
    {"--rate", "--audio"},        {"--gain", "--audio"},
    {"--swap", "--audio"},        {"--z", "--audio"},
    {"--size", TUBE_LOOK},        {"--focus", TUBE_LOOK},
    {"--brightness", TUBE_LOOK},  {"--glow", TUBE_LOOK},
    {"--fixed-frame", TUBE_LOOK}, {"--tick-rate", "the tube look or --audio"},
};

// The light fades in the time the viewer sees a frame: the window's frame
// (the nominal 20 ms when unthrottled), or with --audio the frame's own ticks
// at the tick rate, as the sound plays it.
double shown_frame_ms(const play_options_t &o)
{
    if (o.audio)
        return 0.0;
    return 1000.0 / (o.fps > 0 ? o.fps : PLAY_FPS_DEFAULT);
}

bool companions_in_force(const CLI::App &app, const play_options_t &o, std::string *error)
{
    const bool tube = o.look.look == look_t::tube;
    return check_companions(
        app, COMPANIONS,
        [&](std::string_view with) {
            if (with == "--audio")
                return o.audio;
            if (with == TUBE_LOOK)
                return tube;
            return tube || o.audio; // the tick rate's
        },
        error);
}

} // namespace

int parse_play_options(int argc, char **argv, play_options_t *out)
{
    CLI::App app{DESCRIPTION, PROGRAM};
    add_version_flag(app, PROGRAM);
    add_completion_flag(app, PROGRAM);
    game_options_t game;
    add_options(app, out, &game);
    format_help(app, footer());
    const int parsed = parse_command_line(app, PROGRAM, argc, argv);
    if (parsed >= 0)
        return parsed;

    std::string error;
    if (!finish_game_options(&game, &error) || !companions_in_force(app, *out, &error))
        return usage_fault(PROGRAM, error);
    if (out->audio && option_given(app, "--fps"))
        return usage_fault(PROGRAM, "--audio keeps the sound's pace; it goes with no --fps");
    if (!check_declared_ending(app, "--screenshot", out->screenshot_path, &error))
        return usage_fault(PROGRAM, error);
    out->signal.tick_rate = out->look.tube.tick_rate; // one beam timer for picture and sound
    out->look.tube.frame_ms = shown_frame_ms(*out);
    out->slow = app.count("--slow") > 0;
    out->keys_path = game.keys;
    if (!game.keys.empty()) {
        if (!load_key_script(game.keys, &out->keys, &error))
            return usage_fault(PROGRAM, error);
        out->replay = true;
    }
    out->setup = settle_setup(game.settings, out->keys.settings, PLAY_DEFAULTS);
    return -1;
}
