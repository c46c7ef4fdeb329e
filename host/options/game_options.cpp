#include "host/options/game_options.h"

#include "host/keys/key_script_file.h"
#include "host/options/option_completion.h"
#include "host/options/option_help.h"

void add_game_options(CLI::App &app, game_options_t *o, const game_setup_t &defaults,
                      const std::string &keys_help, const std::string &keys_default)
{
    const bool device = defaults.device_pace;
    add_number(app, "--seed", o->settings.seed, "the random generator's start", 1, 32767,
               std::to_string(defaults.seed));
    add_number(app, "--speed", o->settings.speed, "time calls per step", 0, 255,
               device ? "" : std::to_string(defaults.speed));
    add_number(app, "--growth", o->settings.growth, "growth per meal", 0, 255,
               device ? "" : std::to_string(defaults.growth));
    app.add_flag("--device", o->settings.device,
                 std::string("the level table's own speed and growth") +
                     (device ? " (default)" : ""));
    app.add_flag("--sim", o->sim,
                 std::string("the simulator's pace: speed 1, growth 20") +
                     (device ? "" : " (default)"));
    CLI::Option *keys = app.add_option("-k,--keys", o->keys, keys_help)
                            ->type_name("FILE")
                            ->default_str(keys_default);
    complete_files(complete_words(keys, {BUILTIN_KEYS}));
}

bool finish_game_options(game_options_t *o, std::string *error)
{
    game_settings_t &s = o->settings;
    if (s.device && (o->sim || s.speed || s.growth)) {
        *error =
            "--device keeps the level table's pace; it goes with no --sim, --speed or --growth";
        return false;
    }
    if (o->sim) {
        s.speed = s.speed.value_or(SIM_SPEED);
        s.growth = s.growth.value_or(SIM_GROWTH);
    }
    return true;
}
