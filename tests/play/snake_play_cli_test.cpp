// snake-play run as a user runs it, headless (SDL's dummy video driver):
// its pictures against pc-snake's, its recordings replayed, its faults.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/keys/game_settings.h"
#include "host/keys/key_script.h"
#include "host/keys/stimuli.h"
#include "tests/support/bad_numbers.h"
#include "tests/support/image_compare.h"
#include "tests/support/image_decode.h"
#include "tests/support/run_program.h"

namespace {

namespace fs = std::filesystem;

class SnakePlay : public testing::Test {
  protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "dummy", 0); // CTest sets it; so does a run by hand
        dir = fs::temp_directory_path() /
              ("snake_play_cli_" + std::to_string(getpid()) + "_" +
               testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override
    {
        if (!HasFailure())
            fs::remove_all(dir); // kept on a failure, to look at
    }

    // `program args` with stdout and stderr caught, under a time limit.
    run_t run(const std::string &program, const std::string &args)
    {
        return run_program(program, args);
    }
    run_t play(const std::string &args) { return run(SNAKE_PLAY_BIN, args); }
    std::string file(const char *name) const { return (dir / name).string(); }

    fs::path dir;
};

rgb_image_t read_png(const std::string &path) { return decode_png(read_file(path)); }

TEST_F(SnakePlay, ScriptedGameHasPcSnakesPixels)
{
    struct shot_t {
        int level;
        int n;
        const char *pace;
    };
    // The start, a meal, the crashes (frame 308 at levels 3 and 4, 336 at 1
    // and 2) and the risen text after them.
    std::vector<shot_t> shots;
    for (int level = 1; level <= 4; ++level)
        for (int n : {1, 2, 112, 309, 336, 400})
            shots.push_back({level, n, "--sim "});
    // The built-in script names pc-snake's pace: without --sim it is still its game.
    shots.push_back({3, 300, ""});
    for (const auto &[level, n, pace] : shots) {
        const std::string at =
            "level " + std::to_string(level) + " frame " + std::to_string(n) + " " + pace;
        const std::string shot = file("shot.png");
        const run_t r = play(std::string(pace) + "--look exact --persistence 0 --level " +
                             std::to_string(level) + " --keys builtin --frames " +
                             std::to_string(n) + " --fps 0 --screenshot '" + shot + "'");
        ASSERT_EQ(r.status, 0) << at << ": " << r.err;
        const run_t want = run(PC_SNAKE_BIN, std::to_string(level) + " " + std::to_string(n));
        ASSERT_EQ(want.status, 0) << at;
        EXPECT_TRUE(same_image("play_level" + std::to_string(level) + "_frame" + std::to_string(n),
                               read_png(shot), decode_ppm(want.out)));
    }
}

// The tube look is the same code in both programs, and in the window light
// fades in the time a frame is shown: snake-play's picture of frame N at 50
// frames a second (or unthrottled, at the nominal 20 ms) is snake-render's
// tube frame N with --fixed-frame, pixel for pixel, trail and halo included
// (up to frame 61, snake-render plays every frame before for its light).
TEST_F(SnakePlay, TubePictureIsSnakeRendersTubeFrame)
{
    for (const auto &[fps, n] : {std::pair{"50", "60"}, std::pair{"0", "45"}}) {
        const std::string shot = file("tube.png"), frame = file("frame.png");
        const run_t r = play("--sim --level 2 --keys builtin --frames " + std::string(n) +
                             " --fps " + fps + " --size 512 --screenshot '" + shot + "'");
        ASSERT_EQ(r.status, 0) << r.err;
        const run_t want = run(SNAKE_RENDER_BIN,
                               "2 " + std::string(n) +
                                   " --look tube --size 512 --fixed-frame -q -o '" + frame + "'");
        ASSERT_EQ(want.status, 0) << want.err;
        const rgb_image_t got = decode_png(read_file(shot));
        EXPECT_EQ(got.width, 512);
        EXPECT_TRUE(got == decode_png(read_file(frame))) << "--fps " << fps;
    }
}

TEST_F(SnakePlay, RecordingReplaysToTheSameFrames)
{
    const std::string keys = file("game.keys");
    const run_t rec =
        play("--sim --level 2 --keys builtin --frames 350 --fps 0 --record '" + keys + "'");
    ASSERT_EQ(rec.status, 0) << rec.err;
    key_script_t script;
    std::string error;
    ASSERT_TRUE(parse_key_script(read_text(keys), keys, &script, &error)) << error;
    // The game's setup, and the built-in keys the module took up to frame 350.
    EXPECT_EQ(script.settings, settings_of({2, 0x2200, false, 1, 20}));
    const key_script_t builtin = builtin_key_script();
    ASSERT_EQ(script.presses.size(), builtin.presses.size());
    for (std::size_t i = 0; i < builtin.presses.size(); ++i) {
        EXPECT_EQ(script.presses[i].frame, builtin.presses[i].frame);
        EXPECT_EQ(script.presses[i].key, builtin.presses[i].key);
    }
    // Replayed without naming a pace or level: the script names them.
    const std::string shot = file("replay.png");
    const run_t replay =
        play("--keys '" + keys + "' --look exact --persistence 0 --frames 340 --fps 0 " +
             "--screenshot '" + shot + "'");
    ASSERT_EQ(replay.status, 0) << replay.err;
    const run_t want = run(PC_SNAKE_BIN, "2 340");
    EXPECT_TRUE(same_image("play_replay", read_png(shot), decode_ppm(want.out)));
}

TEST_F(SnakePlay, UnwritableOutputsFailWithStatus4AndSpareTheOthers)
{
    const std::string nowhere = "/dev/full";
    const run_t a =
        play("--sim --keys builtin --look exact --persistence 0 --frames 2 --fps 0 --record '" +
             nowhere + "' --screenshot '" + file("a.png") + "'");
    EXPECT_EQ(a.status, 4);
    // The message names the file and why.
    EXPECT_NE(a.err.find(nowhere + ": No space left on device"), std::string::npos) << a.err;
    EXPECT_EQ(a.err.rfind("snake-play: cannot ", 0), 0u) << a.err;
    const run_t want = run(PC_SNAKE_BIN, "1 2");
    EXPECT_TRUE(same_image("play_unwritable", read_png(file("a.png")), decode_ppm(want.out)));

    const run_t b =
        play("--frames 5 --fps 0 --record '" + file("b.keys") + "' --screenshot '" + nowhere + "'");
    EXPECT_EQ(b.status, 4);
    EXPECT_NE(b.err.find(nowhere + ": No space left on device"), std::string::npos) << b.err;
    key_script_t script;
    std::string error;
    EXPECT_TRUE(parse_key_script(read_text(file("b.keys")), "b.keys", &script, &error)) << error;
    EXPECT_TRUE(script.settings.device); // no --sim: the level table's pace
}

// Standard output closed when the program starts: an output to it is refused
// with the system's reason, and nothing lands in a file the program opens.
TEST_F(SnakePlay, ClosedStandardOutputIsRefused)
{
    const run_t r = run_program(SNAKE_PLAY_BIN,
                                "--sim --keys builtin --look exact --persistence 0 --frames 2 "
                                "--fps 0 --record - --screenshot '" +
                                    file("a.png") + "'",
                                "&-");
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(r.err, "snake-play: cannot write to standard output: Bad file descriptor\n");
    const run_t want = run(PC_SNAKE_BIN, "1 2");
    EXPECT_TRUE(same_image("play_closed_stdout", read_png(file("a.png")), decode_ppm(want.out)));
}

// A stream takes the recording once, at the end: it cannot be rewritten.
TEST_F(SnakePlay, RecordingToStandardOutputComesOnceAtTheEnd)
{
    const run_t r = play("--sim --keys builtin --frames 50 --fps 0 --record - --level 3");
    ASSERT_EQ(r.status, 0) << r.err;
    key_script_t script;
    std::string error;
    ASSERT_TRUE(parse_key_script(r.out, "stdout", &script, &error)) << error << "\n" << r.out;
    EXPECT_EQ(script.settings.level, 3);
    EXPECT_EQ(script.presses.size(), 2u); // the built-in keys after frames 2 and 42
    EXPECT_EQ(r.out.find("# pc-snake key script"), r.out.rfind("# pc-snake key script"));
}

TEST_F(SnakePlay, BadOptionsAndKeyFilesAreNamed)
{
    std::ofstream(file("bad.keys")) << "level 2\n5 left\n3 right\n";
    std::ofstream(file("good.keys")) << "2 left\n";
    struct bad_t {
        std::string args;
        std::string message; // part of the message on stderr
    };
    std::vector<bad_t> cases = {
        {"--level 5", "--level"},
        {"--seed 0", "--seed"},
        {"--fps -1", "--fps"},
        {"--persistence x", "--persistence"},
        {"--frames 0", "--frames"},
        {"--scale 9", "--scale"},
        {"--look round", "--look"},
        {"--look exact --glow 1", "--glow goes with the tube look"},
        {"--look exact --tick-rate 5000", "--tick-rate goes with the tube look or --audio"},
        {"--bogus", "--bogus"},
        {"--fps 1e3", "--fps: '1e3' is not a whole number; give a whole number from 0 to 1000"},
        {"--device --sim", "--device keeps the level table's pace; it goes with no --sim"},
        {"--screenshot x.jpg", "--screenshot x.jpg: the name must end in .png"},
        {"--keys '" + file("bad.keys") + "'", file("bad.keys") + ":3: frame 3 does not come after"},
        {"--keys '" + file("none.keys") + "'",
         "cannot read the key script " + file("none.keys") + ": No such file or directory"},
        // The files together, before the game starts.
        {"--keys '" + file("good.keys") + "' --record '" + file("good.keys") + "'",
         "--record " + file("good.keys") + " and --keys " + file("good.keys") +
             " are the same file"},
        {"--record - --screenshot /dev/stdout",
         "only one output can go to standard output: --record - and --screenshot /dev/stdout"},
        {"--record '" + file("missing/x.keys") + "'",
         "the folder " + file("missing") + " for " + file("missing/x.keys") + " does not exist"},
    };
    for (const char *option : {"--focus", "--brightness", "--persistence", "--glow", "--gain"})
        for (const bad_number_t &bad : BAD_REALS)
            cases.push_back({std::string(option) + " '" + bad.text + "' --audio",
                             option + std::string(": ") + bad.said});
    for (const bad_t &c : cases) {
        const bool shot = c.args.find("--screenshot") == std::string::npos;
        const run_t r =
            play(c.args + " --frames 1" + (shot ? " --screenshot '" + file("shot.png") + "'" : ""));
        EXPECT_EQ(r.status, 1) << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << ": " << r.err;
    }
    EXPECT_FALSE(fs::exists(file("shot.png")));
    const run_t help = play("--help");
    EXPECT_EQ(help.status, 0);
    for (const char *part : {"--persistence", "--record", "Keys:", "F12", "Examples:"})
        EXPECT_NE(help.out.find(part), std::string::npos) << part;
    EXPECT_EQ(help_misaligned(help.out), "");
}

// With no display SDL falls back on a driver that shows nothing. That is
// refused, unless the run needs no screen (it ends by itself and keeps its
// picture) or the user named the driver.
TEST_F(SnakePlay, NoDisplayIsRefusedUnlessHeadlessOnPurpose)
{
    // SDL's offscreen driver loads GL libraries that leak at exit; not ours to find.
    // No XDG_RUNTIME_DIR either: no Wayland to reach, and nothing said of it.
    const std::string no_display = "-u SDL_VIDEODRIVER -u DISPLAY -u WAYLAND_DISPLAY "
                                   "-u XDG_RUNTIME_DIR ASAN_OPTIONS=detect_leaks=0 ";
    const std::string game = " --sim --look exact --persistence 0 --keys builtin --fps 0";
    const std::string shot = file("shot.png");
    struct case_t {
        std::string env; // for env(1), before the program
        std::string args;
        int status;
    };
    const case_t cases[] = {
        {no_display, game + " --frames 3", 5},
        {no_display, game + " --screenshot '" + shot + "'", 5},
        {no_display, game + " --frames 3 --screenshot '" + shot + "'", 0},
        {no_display + "SDL_VIDEODRIVER=dummy ", game + " --frames 3", 0},
    };
    const run_t want = run(PC_SNAKE_BIN, "1 3");
    ASSERT_EQ(want.status, 0);
    for (const case_t &c : cases) {
        const std::string at = c.env + c.args;
        fs::remove(shot);
        const run_t r = run_program("env", c.env + "'" + SNAKE_PLAY_BIN + "'" + c.args);
        ASSERT_EQ(r.status, c.status) << at << ": " << r.err;
        // snake-play says one line, if any, and nothing else is said.
        EXPECT_EQ(foreign_line(r.err, "snake-play: "), "") << at;
        std::istringstream lines(r.err);
        std::vector<std::string> said;
        for (std::string line; std::getline(lines, line);)
            if (line.rfind("snake-play: ", 0) == 0)
                said.push_back(line);
        if (c.status == 5) {
            ASSERT_EQ(said.size(), 1u) << at << ": " << r.err;
            EXPECT_NE(said[0].find("no display"), std::string::npos) << said[0];
            EXPECT_FALSE(fs::exists(shot)) << at;
        } else {
            EXPECT_TRUE(said.empty()) << at << ": " << r.err;
            if (c.args.find("--screenshot") != std::string::npos) {
                EXPECT_TRUE(same_image("play_headless", read_png(shot), decode_ppm(want.out)))
                    << at;
            }
        }
    }
}

// A signal to stop ends the game as closing the window does: the recording
// and the screenshot are written, and the status is 128 plus the signal.
TEST_F(SnakePlay, StoppedBySignalKeepsTheGameAndSaysWhichSignal)
{
    const std::string keys = file("live.keys"), shot = file("live.png");
    for (const auto &[name, number] :
         {std::pair{"TERM", SIGTERM}, {"INT", SIGINT}, {"HUP", SIGHUP}}) {
        fs::remove(keys);
        fs::remove(shot);
        // Two seconds in, well after the window is open, at 50 frames a second.
        const run_t r = run("timeout", std::string("--preserve-status -s ") + name + " 2 '" +
                                           SNAKE_PLAY_BIN + "' --sim --keys builtin --level 3 " +
                                           "--record '" + keys + "' --screenshot '" + shot + "'");
        EXPECT_EQ(r.status, 128 + number) << name << ": " << r.err;
        key_script_t script;
        std::string error;
        ASSERT_TRUE(parse_key_script(read_text(keys), keys, &script, &error)) << error;
        EXPECT_EQ(script.settings.level, 3);
        EXPECT_FALSE(script.presses.empty());          // the first built-in key comes after frame 2
        EXPECT_EQ(read_png(shot).width, 1024) << name; // the tube's picture
    }
}

} // namespace
