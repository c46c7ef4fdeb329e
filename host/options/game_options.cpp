#include "host/options/game_options.h"

#include "host/io/line_input.h"
#include "host/options/option_help.h"

namespace {

// Whether a layer decides the pace, and the pace it asks for.
std::optional<bool> device_pace_of(const game_settings_t &layer)
{
    if (layer.device)
        return true;
    if (layer.speed || layer.growth)
        return false;
    return std::nullopt;
}

template <class T>
T first_of(const std::optional<T> &command_line, const std::optional<T> &script, T fallback)
{
    return command_line.value_or(script.value_or(fallback));
}

} // namespace

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
    app.add_option("-k,--keys", o->keys, keys_help)->type_name("FILE")->default_str(keys_default);
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

bool load_key_script(const std::string &name, key_script_t *out, std::string *error)
{
    if (name == "builtin") {
        *out = builtin_key_script();
        return true;
    }
    key_script_reader_t reader(name);
    std::string fault;
    const line_input_end_t end = read_lines(
        name, {KEY_SCRIPT_LINE_MAX, KEY_SCRIPT_SIZE_MAX},
        [&](std::string_view line) { return reader.add_line(line, &fault); }, error);
    switch (end) {
    case line_input_end_t::whole: *out = std::move(reader.script); return true;
    case line_input_end_t::stopped: *error = fault; return false;
    case line_input_end_t::too_large:
        *error = reader.fault_here("longer than " + std::to_string(KEY_SCRIPT_SIZE_MAX >> 20) +
                                   " MiB, too long for a key script");
        return false;
    case line_input_end_t::unreadable:
        *error = "cannot read the key script " + name + ": " + *error;
        return false;
    }
    return false;
}

game_setup_t settle_setup(const game_settings_t &command_line, const game_settings_t &script,
                          const game_setup_t &defaults)
{
    game_setup_t setup;
    setup.level = first_of(command_line.level, script.level, defaults.level);
    setup.seed = first_of(command_line.seed, script.seed, defaults.seed);
    setup.device_pace =
        first_of(device_pace_of(command_line), device_pace_of(script), defaults.device_pace);
    setup.speed = first_of(command_line.speed, script.speed, defaults.speed);
    setup.growth = first_of(command_line.growth, script.growth, defaults.growth);
    return setup;
}

game_settings_t settings_of(const game_setup_t &setup)
{
    game_settings_t s;
    s.level = setup.level;
    s.seed = setup.seed;
    s.device = setup.device_pace;
    if (!setup.device_pace) {
        s.speed = setup.speed;
        s.growth = setup.growth;
    }
    return s;
}
