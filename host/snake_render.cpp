// snake-render: any stretch of the scripted game as PNG, animated GIF or PPM
// in one run, with other key scripts and game parameters, and the beam
// budget of every frame. Options are read here; host/render.cpp does the work.
#include <unistd.h>

#include <CLI/CLI.hpp>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "host/sim/beam_raster.h"
#include "host/render/render.h"

std::int32_t frame;
snake_t snake;

namespace {

constexpr int EXIT_USAGE = 1;

const char *const EXAMPLES = R"(
Examples:
  snake-render 1 120 -o frame.png            frame 120 of level 1 as PNG
  snake-render 1 120 -o frame.ppm            the same bytes as: pc-snake 1 120
  snake-render 3 1-400 --gif game.gif --scale 2
                                             the game at level 3 as an animated GIF
  snake-render 2 1-1000/10 --png-dir frames  every 10th frame as PNG files
  snake-render 4 1-700 --budget ticks.csv --budget-svg ticks.svg
                                             the beam ticks of every frame
  snake-render --dump-keys > keys.txt        the built-in key script, to edit
  snake-render 1 1-500 --keys keys.txt --seed 99 --gif mine.gif

FRAMES is N, A-B or A-B/STEP (pc-snake's frame numbers, 1 = the first frame).
Key scripts: one "FRAME KEY" per line, the key reaching the game after that
frame is drawn; KEY is left, right, up, down, up2, down2, faster, slower or a
code 1 to 255; optional lines "level N", "seed N", "speed N", "growth N",
"device"; '#' starts a comment.

Exit status: 0 done, 1 bad options or key script, 2 a frame over the
2000-tick budget, 3 a diagonal wall line, 4 a file could not be written.
)";

struct options_t {
    int level = 0;
    std::string frames;
    std::string keys = "builtin";
    bool dump_keys = false;
    std::optional<int> seed, speed, growth;
    bool device = false;
    bool quiet = false;
};

// The script named by --keys; on a fault the message is in *error.
bool load_keys(const std::string &name, key_script_t *script, std::string *error)
{
    if (name == "builtin") {
        *script = builtin_key_script();
        return true;
    }
    std::ifstream in(name, std::ios::binary);
    std::ostringstream text;
    if (!in || !(text << in.rdbuf()) || in.bad()) {
        *error = "cannot read the key script " + name;
        return false;
    }
    return parse_key_script(text.str(), name, script, error);
}

// Command line over the script's settings over the simulator's defaults.
bool settle_setup(const options_t &opt, const key_script_t &script, render_job_t *job,
                  std::string *error)
{
    if (script.level && *script.level != opt.level) {
        *error = "the key script " + opt.keys + " is for level " + std::to_string(*script.level) +
                 ", not " + std::to_string(opt.level);
        return false;
    }
    game_setup_t &setup = job->setup;
    setup.level = static_cast<std::uint8_t>(opt.level);
    setup.seed = static_cast<std::uint16_t>(opt.seed.value_or(script.seed.value_or(setup.seed)));
    const bool own_pace = opt.speed || opt.growth;
    setup.device_pace = opt.device || (script.device && !own_pace);
    setup.speed = static_cast<std::uint8_t>(opt.speed.value_or(script.speed.value_or(setup.speed)));
    setup.growth =
        static_cast<std::uint8_t>(opt.growth.value_or(script.growth.value_or(setup.growth)));
    return true;
}

int fail(const std::string &message)
{
    std::fprintf(stderr, "snake-render: %s\n", message.c_str());
    return EXIT_USAGE;
}

} // namespace

int main(int argc, char **argv)
{
    CLI::App app{"snake-render: frames of the Snake module's game as PNG, GIF or PPM, and its "
                 "beam budget.",
                 "snake-render"};
    app.footer(EXAMPLES);
    app.set_version_flag("-V,--version", "snake-render 1.0");
    options_t opt;
    render_job_t job;

    app.add_option("LEVEL", opt.level, "level 1 to 4")->check(CLI::Range(1, 4))->type_name("");
    app.add_option("FRAMES", opt.frames, "frame N, range A-B or A-B/STEP")->type_name("");
    app.add_option("-o,--output", job.output, "one frame as FILE.png or FILE.ppm")
        ->type_name("FILE");
    app.add_option("--png-dir", job.png_dir, "one PNG per frame in DIR")->type_name("DIR");
    app.add_option("--ppm-dir", job.ppm_dir, "one PPM per frame in DIR")->type_name("DIR");
    app.add_option("-g,--gif", job.gif, "the range as one animated GIF")->type_name("FILE");
    app.add_option("-d,--delay", job.delay_cs, "GIF: centiseconds per frame (default 2)")
        ->check(CLI::Range(1, 65535))
        ->type_name("N");
    app.add_option("-s,--scale", job.scale, "PNG and GIF: pixels per point, 1 to 8 (default 1)")
        ->check(CLI::Range(1, 8))
        ->type_name("N");
    app.add_option("-k,--keys", opt.keys, "key script FILE, or builtin (default)")
        ->type_name("FILE");
    app.add_flag("--dump-keys", opt.dump_keys,
                 "print the key script (built-in or --keys) and stop");
    app.add_option("--seed", opt.seed, "random generator's start, 1 to 32767 (default 8704)")
        ->check(CLI::Range(1, 32767))
        ->type_name("N");
    auto *speed = app.add_option("--speed", opt.speed, "time calls per step, 0 to 255 (default 1)")
                      ->check(CLI::Range(0, 255))
                      ->type_name("N");
    auto *growth = app.add_option("--growth", opt.growth, "growth per meal, 0 to 255 (default 20)")
                       ->check(CLI::Range(0, 255))
                       ->type_name("N");
    app.add_flag("--device", opt.device, "the level table's own speed and growth")
        ->excludes(speed)
        ->excludes(growth);
    app.add_option("--budget", job.budget_csv, "beam ticks per frame and pass as CSV")
        ->type_name("FILE");
    app.add_option("--budget-svg", job.budget_svg, "the same as an SVG plot")->type_name("FILE");
    app.add_flag("-q,--quiet", opt.quiet, "no progress line");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError &e) {
        const int shown = app.exit(e); // prints the help, the version or the fault
        return shown == 0 ? 0 : EXIT_USAGE;
    }

    if (!opt.dump_keys && (opt.level == 0 || opt.frames.empty()))
        return fail("LEVEL and FRAMES are needed (see --help)");
    std::string error;
    if (!load_keys(opt.keys, &job.keys, &error))
        return fail(error);
    if (opt.dump_keys) {
        std::fputs(format_key_script(job.keys).c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : EXIT_WRITE_FAILED;
    }
    if (!parse_frame_range(opt.frames, &job.frames, &error))
        return fail("FRAMES: " + error);
    if (!settle_setup(opt, job.keys, &job, &error))
        return fail(error);
    if (!job.output.empty()) {
        if (frame_count(job.frames) != 1)
            return fail("--output takes one frame; use --png-dir, --ppm-dir or --gif for a range");
        const std::string &o = job.output;
        if (o.size() < 5 ||
            (o.compare(o.size() - 4, 4, ".png") != 0 && o.compare(o.size() - 4, 4, ".ppm") != 0))
            return fail("--output " + o + ": the name must end in .png or .ppm");
    }
    if (job.output.empty() && job.png_dir.empty() && job.ppm_dir.empty() && job.gif.empty() &&
        job.budget_csv.empty() && job.budget_svg.empty())
        return fail("nothing to write: give -o, --png-dir, --ppm-dir, --gif, --budget or "
                    "--budget-svg (see --help)");
    job.progress = !opt.quiet && isatty(STDERR_FILENO) != 0;
    return render(job);
}
