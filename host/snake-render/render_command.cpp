#include "host/snake-render/render_command.h"

#include <unistd.h>

#include <cstdio>
#include <new>
#include <utility>
#include <vector>

#include "host/audio/wav_file.h"
#include "host/image/frame_image.h"
#include "host/io/output_checks.h"
#include "host/keys/key_script_file.h"
#include "host/options/companions.h"
#include "host/options/exit_status.h"
#include "host/options/file_endings.h"
#include "host/options/game_options.h"
#include "host/options/look_options.h"
#include "host/options/option_completion.h"
#include "host/options/option_help.h"
#include "host/options/signal_options.h"
#include "host/render/output_names.h"
#include "host/render/render.h"
#include "host/render/wav_output.h"
#include "host/sim/screen.h"
#include "host/video/video_writer.h"

namespace {

constexpr const char *PROGRAM = "snake-render";

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
  snake-render 1 120 --trace trace.svg --beam ticks.csv
                                             frame 120's beam path, and its every tick
  snake-render 1 1-1000 --wav game.wav       the beam as XY audio for an oscilloscope
  snake-render 3 300 --wav f.wav --seconds 10
                                             one frame standing still for 10 s
  snake-render 3 1-1000 --look tube --size 512 --video game.mp4
                                             the game on a glowing tube as H.264 video
  snake-render 2 300 --look tube -o tube.png --persistence 400 --brightness 2
                                             one frame with a long, bright trail

FRAMES is N, A-B or A-B/STEP (pc-snake's frame numbers, 1 = the first frame).
Key scripts: one "FRAME KEY" per line, the key reaching the game after that
frame is drawn; KEY is left, right, up, down, up2, down2, faster, slower or a
code 1 to 255; optional lines "level N", "seed N", "speed N", "growth N",
"device"; '#' starts a comment. Options on the command line win over them.

Looks: exact (the default) is pc-snake's picture, one cell per point; tube is
a glowing phosphor at --size pixels: round spots, lines as bright as the beam
dwells on them, a halo, the trail of the light fading by half every
--persistence ms of the game's time. The tube's pictures have thousands of
colours: --video keeps them; a GIF holds 255 steps of the phosphor's ramp.

Exit status: 0 done, 1 bad options or key script, 2 a frame over the
2000-tick budget, 3 a diagonal wall line, 4 a file could not be written.
)";

// The simulator's game: pc-snake's seed and pace.
const game_setup_t RENDER_DEFAULTS{};

struct options_t {
    int level = 0;
    std::string frames;
    game_options_t game;
    look_options_t look;
    std::string wav_format = WAV_FORMAT_NAMES[0];
    bool dump_keys = false;
    bool quiet = false;
};

void add_wav_options(CLI::App &app, options_t *opt, wav_job_t *wav)
{
    complete_files(app.add_option("--wav", wav->path, "the beam of the range A-B as XY audio")
                       ->type_name("FILE"),
                   {".wav"});
    const std::vector<std::string> formats(std::begin(WAV_FORMAT_NAMES),
                                           std::end(WAV_FORMAT_NAMES));
    app.add_option("--wav-format", opt->wav_format, "WAV: float, pcm24 or pcm16")
        ->check(CLI::IsMember(formats).description("").name(completion_words_name(formats)))
        ->type_name("F")
        ->default_str(opt->wav_format);
    add_number(app, "--seconds", wav->seconds, "WAV: one frame's beam repeated S seconds", 0.001,
               60.0, "", "S");
    add_signal_options(app, &wav->signal);
}

void add_options(CLI::App &app, options_t *opt, render_job_t *job)
{
    add_number(app, "LEVEL", opt->level, "level", 1, 4, "", "");
    app.add_option("FRAMES", opt->frames, "frame N, range A-B or A-B/STEP")->type_name("");
    complete_files(
        app.add_option("-o,--output", job->files.output,
                       "one frame as FILE.png or FILE.ppm; - (or ppm:-, png:-) to standard output")
            ->type_name("FILE"),
        {".png", ".ppm"});
    complete_folders(app.add_option("--png-dir", job->files.png_dir, "one PNG per frame in DIR")
                         ->type_name("DIR"));
    complete_folders(app.add_option("--ppm-dir", job->files.ppm_dir, "one PPM per frame in DIR")
                         ->type_name("DIR"));
    complete_files(
        app.add_option("-g,--gif", job->gif.path,
                       "the range as one animated GIF (for the tube look --video is better)")
            ->type_name("FILE"),
        {".gif"});
    video_job_t &video = job->video;
    complete_files(app.add_option("--video", video.path,
                                  "the range as one video, FILE.mp4 (H.264) or .webm (VP9)")
                       ->type_name("FILE"),
                   {".mp4", ".webm"});
    add_number(app, "--fps", video.fps, "video: frames per second", 1, 1000,
               number_text(video.fps));
    add_number(app, "--crf", video.crf, "video: quality, lower is better (H.264's scale)", 0, 51,
               number_text(video.crf));
    add_number(app, "-d,--delay", job->gif.delay_cs, "GIF: centiseconds per frame", 1, 65535,
               number_text(job->gif.delay_cs));
    add_number(app, "-s,--scale", job->picture.scale, "PNG and GIF: pixels per point", 1,
               IMAGE_SCALE_MAX, number_text(job->picture.scale));
    add_game_options(app, &opt->game, RENDER_DEFAULTS, "key script FILE, or builtin", "builtin");
    app.add_flag("--dump-keys", opt->dump_keys,
                 "print the key script (built-in or --keys) and stop");
    complete_files(
        app.add_option("--budget", job->budget.csv, "beam ticks per frame and pass as CSV")
            ->type_name("FILE"),
        {".csv"});
    complete_files(app.add_option("--budget-svg", job->budget.svg, "the same as an SVG plot")
                       ->type_name("FILE"),
                   {".svg"});
    app.add_flag("-q,--quiet", opt->quiet, "no progress line");
    complete_files(app.add_option("--beam", job->beam.csv, "every beam tick of the frames as CSV")
                       ->type_name("FILE"),
                   {".csv"});
    complete_files(
        app.add_option("--trace", job->beam.trace, "one frame's beam path as FILE.svg or FILE.png")
            ->type_name("FILE"),
        {".svg", ".png"});
    add_look_options(app, &opt->look, look_t::exact, "");
    add_wav_options(app, opt, &job->wav);
}

// The options that mean something only beside another.
constexpr companion_rule_t COMPANIONS[] = {
    {"--fps", "--video"},
    {"--crf", "--video"},
    {"--wav-format", "--wav"},
    {"--seconds", "--wav"},
    {"--rate", "--wav"},
    {"--gain", "--wav"},
    {"--swap", "--wav"},
    {"--z", "--wav"},
    {"--size", TUBE_LOOK},
    {"--focus", TUBE_LOOK},
    {"--brightness", TUBE_LOOK},
    {"--persistence", TUBE_LOOK},
    {"--glow", TUBE_LOOK},
    {"--fixed-frame", TUBE_LOOK},
    {"--tick-rate", "the tube look or --wav"},
    {"--scale", "the exact look; the tube's pictures take --size"},
};

bool companions_in_force(const CLI::App &app, const render_job_t &job, std::string *error)
{
    const bool tube = job.picture.look == look_t::tube;
    const bool wav = !job.wav.path.empty();
    return check_companions(
        app, COMPANIONS,
        [&](std::string_view with) {
            if (with == "--video")
                return !job.video.path.empty();
            if (with == "--wav")
                return wav;
            if (with == TUBE_LOOK)
                return tube;
            if (with == "the tube look or --wav")
                return tube || wav;
            return !tube; // the exact look
        },
        error);
}

bool check_video(const render_job_t &job, std::string *error)
{
    const std::string &v = job.video.path;
    if (v.empty())
        return true;
    if (!v.ends_with(".mp4") && !v.ends_with(".webm")) {
        *error = "--video " + shown_name(v) + ": the name must end in .mp4 or .webm";
        return false;
    }
    const picture_job_t &p = job.picture;
    const int side = p.look == look_t::tube ? p.tube.size : SCREEN_SIDE * p.scale;
    if (side % 2 != 0) {
        *error = "--video needs an even --size: its colours are kept for each 2 x 2 pixels";
        return false;
    }
    std::string missing;
    if (!video_ready(&missing)) {
        *error = "--video: " + missing;
        return false;
    }
    return true;
}

// libsndfile comes as a module: one that is missing is said before any work.
bool check_wav(const render_job_t &job, std::string *error)
{
    std::string missing;
    if (!job.wav.path.empty() && !wav_ready(&missing)) {
        *error = "--wav: " + missing;
        return false;
    }
    return true;
}

bool check_trace(const render_job_t &job, std::string *error)
{
    const std::string &t = job.beam.trace;
    if (t.empty())
        return true;
    if (frame_count(job.frames) != 1) {
        *error = "--trace draws one frame, not a range; give FRAMES as one number N";
        return false;
    }
    if (t.size() < 5 || (!t.ends_with(".svg") && !t.ends_with(".png"))) {
        *error = "--trace " + shown_name(t) + ": the name must end in .svg or .png";
        return false;
    }
    return true;
}

// The outputs of one format, by the ending each declares; --output, --trace
// and --video take their format from the name.
bool check_endings(CLI::App &app, const render_job_t &job, std::string *error)
{
    return check_declared_ending(app, "--gif", job.gif.path, error) &&
           check_declared_ending(app, "--budget", job.budget.csv, error) &&
           check_declared_ending(app, "--budget-svg", job.budget.svg, error) &&
           check_declared_ending(app, "--beam", job.beam.csv, error) &&
           check_declared_ending(app, "--wav", job.wav.path, error);
}

// PPM is the exact look's alone.
bool check_look(const render_job_t &job, std::string *error)
{
    const frame_files_job_t &f = job.files;
    if (job.picture.look == look_t::tube &&
        (!f.ppm_dir.empty() || output_format(f.output) == image_format_t::ppm)) {
        *error = "PPM is pc-snake's exact picture; the tube look writes PNG, GIF or video";
        return false;
    }
    return true;
}

// The job's frames and outputs, checked; on a fault the message is in *error.
bool check_outputs(CLI::App &app, const options_t &opt, render_job_t *job, std::string *error)
{
    if (!parse_frame_range(opt.frames, &job->frames, error)) {
        *error = "FRAMES: " + *error;
        return false;
    }
    const std::string &o = job->files.output;
    if (!o.empty() && frame_count(job->frames) != 1) {
        *error = "--output takes one frame; use --png-dir, --ppm-dir or --gif for a range";
        return false;
    }
    if (!o.empty() && !output_format(o)) {
        *error = "--output " + shown_name(o) +
                 ": the name must end in .png or .ppm (or be -, ppm:- or png:-)";
        return false;
    }
    const std::string *named[] = {&job->gif.path,   &job->video.path, &job->budget.csv,
                                  &job->budget.svg, &job->beam.csv,   &job->beam.trace,
                                  &job->wav.path};
    bool any = !o.empty() || !job->files.png_dir.empty() || !job->files.ppm_dir.empty();
    for (const std::string *path : named)
        any = any || !path->empty();
    if (!any) {
        *error = "nothing to write: give -o, --png-dir, --ppm-dir, --gif, --video, --budget, "
                 "--budget-svg, --beam, --trace or --wav (see --help)";
        return false;
    }
    job->wav.format = wav_format_named(opt.wav_format);
    return check_endings(app, *job, error) && check_trace(*job, error) &&
           wav_job_valid(*job, error) && check_video(*job, error) && check_look(*job, error) &&
           check_wav(*job, error);
}

// The run's files together, before any work: folders that are missing, an
// output that is a folder, one file under two names (an output over the key
// script too), two outputs on standard output.
bool check_files(const options_t &opt, const render_job_t &job, std::string *error)
{
    const std::pair<const char *, const std::string *> outputs[] = {
        {"--gif", &job.gif.path},      {"--video", &job.video.path},
        {"--budget", &job.budget.csv}, {"--budget-svg", &job.budget.svg},
        {"--beam", &job.beam.csv},     {"--trace", &job.beam.trace},
        {"--wav", &job.wav.path}};
    std::vector<run_file_t> files;
    if (!job.files.output.empty())
        files.push_back({"-o", output_path(job.files.output), true});
    for (const auto &[option, path] : outputs)
        if (!path->empty())
            files.push_back({option, *path, true});
    if (opt.game.keys != "builtin")
        files.push_back({"--keys", opt.game.keys, false});
    return check_run_files(files, error);
}

// LEVEL must be given, so a script for another level is a mistake, not an override.
bool check_level(const options_t &opt, const key_script_t &keys, std::string *error)
{
    const auto &named = keys.settings.level;
    if (named && *named != opt.level) {
        *error = "the key script " + shown_name(opt.game.keys) + " is for level " +
                 std::to_string(*named) + ", not " + std::to_string(opt.level);
        return false;
    }
    return true;
}

// The progress line, on a terminal only.
void show_progress(std::int64_t done, std::int64_t total, std::int64_t number)
{
    if (total < 2 || (done % 25 != 0 && done != total))
        return;
    std::fprintf(stderr, "\r%s: frame %lld (%lld of %lld)%s", PROGRAM,
                 static_cast<long long>(number), static_cast<long long>(done),
                 static_cast<long long>(total), done == total ? "\n" : "");
}

// The run's end as the user reads it, and its status.
int report(const render_end_t &end, bool progress)
{
    if (!end.write_error.empty()) {
        std::fprintf(stderr, "%s: %s\n", PROGRAM, shown_name(end.write_error).c_str());
        return EXIT_WRITE_FAILED;
    }
    if (!beam_faulted(end.fault))
        return 0;
    if (progress)
        std::fputc('\n', stderr);
    std::fputs(beam_fault_message(end.fault).c_str(), stderr);
    std::fprintf(stderr, "%s: %s: %s\n", PROGRAM, beam_fault_place(end.fault).c_str(),
                 beam_fault_reason(end.fault).c_str());
    return exit_status_of(end.fault);
}

int run_command(int argc, char **argv, const render_bounds_t &bounds)
{
    CLI::App app{"snake-render: frames of the Snake module's game as PNG, GIF, PPM or video, "
                 "exact or on a glowing tube; its beam budget, its beam tick by tick, and the "
                 "beam as XY audio (WAV).",
                 PROGRAM};
    add_version_flag(app, PROGRAM);
    add_completion_flag(app, PROGRAM);
    options_t opt;
    opt.game.keys = "builtin";
    render_job_t job;
    add_options(app, &opt, &job);
    format_help(app, EXAMPLES);
    const int parsed = parse_command_line(app, PROGRAM, argc, argv);
    if (parsed >= 0)
        return parsed;

    std::string error;
    job.picture.look = opt.look.look;
    job.picture.tube = opt.look.tube;
    job.wav.signal.tick_rate = job.picture.tube.tick_rate; // one beam timer for picture and sound
    if (!finish_game_options(&opt.game, &error) || !companions_in_force(app, job, &error))
        return usage_fault(PROGRAM, error);
    if (!opt.dump_keys && (opt.level == 0 || opt.frames.empty()))
        return usage_fault(PROGRAM, "LEVEL and FRAMES are needed");
    if (!load_key_script(opt.game.keys, &job.keys, &error))
        return usage_fault(PROGRAM, error);
    if (opt.dump_keys) {
        std::fputs(format_key_script(job.keys).c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : EXIT_WRITE_FAILED;
    }
    if (!check_outputs(app, opt, &job, &error) || !check_level(opt, job.keys, &error) ||
        !check_files(opt, job, &error))
        return usage_fault(PROGRAM, error);
    if (bounds.max_frames > 0 && frame_count(job.frames) > bounds.max_frames)
        return usage_fault(PROGRAM, "more than " + std::to_string(bounds.max_frames) +
                                        " frames, the bound of this run");
    opt.game.settings.level = static_cast<std::uint8_t>(opt.level);
    job.setup = settle_setup(opt.game.settings, job.keys.settings, RENDER_DEFAULTS);
    const bool progress = !opt.quiet && isatty(STDERR_FILENO) != 0;
    return report(render(job, progress ? show_progress : render_progress_t{}), progress);
}

} // namespace

int render_command(int argc, char **argv, const render_bounds_t &bounds)
{
    try {
        return run_command(argc, argv, bounds);
    } catch (const std::bad_alloc &) {
        return out_of_memory(PROGRAM);
    }
}
