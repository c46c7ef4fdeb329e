#include "host/options/look_options.h"

#include <map>
#include <string>
#include <vector>

#include "host/options/option_completion.h"
#include "host/options/option_help.h"

void add_look_options(CLI::App &app, look_options_t *o, look_t default_look,
                      const std::string &persistence_help)
{
    o->look = default_look;
    const std::map<std::string, look_t> names{{"exact", look_t::exact}, {"tube", look_t::tube}};
    std::vector<std::string> words;
    for (const auto &[name, look] : names)
        words.push_back(name);
    app.add_option("--look", o->look,
                   "exact: one cell per point as pc-snake draws it; tube: a glowing phosphor")
        ->transform(CLI::CheckedTransformer(names, CLI::ignore_case)
                        .description("")
                        .name(completion_words_name(words)))
        ->type_name("exact|tube")
        ->default_str(default_look == look_t::exact ? "exact" : "tube");
    tube_settings_t &t = o->tube;
    add_number(app, "--size", t.size, "tube: pixels a side", TUBE_SIZE_MIN, TUBE_SIZE_MAX,
               number_text(t.size));
    add_number(app, "--focus", t.focus, "tube: the spot's radius (sigma) in screen points",
               TUBE_FOCUS_MIN, TUBE_FOCUS_MAX, number_text(t.focus), "F");
    add_number(app, "--brightness", t.brightness, "tube: a factor on the exposure",
               TUBE_BRIGHTNESS_MIN, TUBE_BRIGHTNESS_MAX, number_text(t.brightness), "B");
    const std::string fade =
        persistence_help.empty() ? "tube: the light's half-life in ms" : persistence_help;
    add_number(app, "--persistence", t.persistence_ms, fade + " (0: each frame alone)", 0.0,
               TUBE_PERSISTENCE_MAX_MS, number_text(t.persistence_ms), "MS");
    add_number(app, "--glow", t.glow, "tube: the halo's weight (0: none)", 0.0, TUBE_GLOW_MAX,
               number_text(t.glow), "G");
    add_number(app, "--tick-rate", t.tick_rate,
               "beam ticks per second: a frame lasts its ticks (tube look, sound)",
               BEAM_TICK_RATE_MIN, BEAM_TICK_RATE_MAX, number_text(t.tick_rate), "HZ");
    app.add_flag("--fixed-frame", t.fixed_frame,
                 "tube: every frame lasts 20 ms for the light's fade (the display's 50 a second)");
}
