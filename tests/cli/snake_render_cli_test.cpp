// snake-render run as a user runs it: its frames against pc-snake's, decoded.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/bad_numbers.h"
#include "tests/support/image_compare.h"
#include "tests/support/image_decode.h"
#include "tests/support/run_program.h"

namespace {

namespace fs = std::filesystem;

run_t render(const std::string &tail) { return run_program(SNAKE_RENDER_BIN, tail); }
std::string pc_snake(int level, long frame)
{
    return run_program(PC_SNAKE_BIN, std::to_string(level) + " " + std::to_string(frame)).out;
}

std::string frame_file(const std::string &dir, int level, long frame, const char *ext)
{
    char name[64];
    std::snprintf(name, sizeof name, "/level%d_frame%06ld.%s", level, frame, ext);
    return dir + name;
}

// The CSV's rows as numbers: frame, total, texts, walls, food, head, body, end.
std::vector<std::vector<long>> csv_rows(const std::string &csv)
{
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "frame,total,texts,walls,food,head,body,end");
    std::vector<std::vector<long>> rows;
    while (std::getline(in, line)) {
        std::vector<long> row;
        std::istringstream cells(line);
        std::string cell;
        while (std::getline(cells, cell, ','))
            row.push_back(std::stol(cell));
        EXPECT_EQ(row.size(), 8u) << line;
        rows.push_back(row);
    }
    return rows;
}

// One run over a stretch equals a separate pc-snake run for each frame: the
// first frames, each meal, both crashes, the drain and long after.
TEST(SnakeRender, EveryFrameOfOneRunIsPcSnakesFrame)
{
    for (int level = 1; level <= 4; ++level) {
        scratch_dir_t dir;
        for (const char *frames : {"1-1000/37", "294-340/3"}) {
            const run_t r = render(std::to_string(level) + " " + frames + " -q --ppm-dir " +
                                   dir.path + " --png-dir " + dir.path + " --scale 2");
            ASSERT_EQ(r.status, 0) << r.err;
        }
        int compared = 0;
        for (const auto &entry : fs::directory_iterator(dir.path)) {
            if (entry.path().extension() != ".ppm")
                continue;
            const long frame = std::stol(entry.path().stem().string().substr(12));
            const std::string name =
                "render_level" + std::to_string(level) + "_frame" + std::to_string(frame);
            const std::string ppm = read_text(entry.path().string());
            const std::string want = pc_snake(level, frame);
            ASSERT_TRUE(same_image(name, decode_ppm(ppm), decode_ppm(want)));
            EXPECT_TRUE(ppm == want) << name << ": the same pixels in other text";
            // The PNG has the same pixels, each a 2 x 2 square.
            const rgb_image_t png =
                decode_png(read_file(frame_file(dir.path, level, frame, "png")));
            EXPECT_TRUE(same_image(name + "_scale2", png, scale_image(decode_ppm(ppm), 2)));
            ++compared;
        }
        EXPECT_EQ(compared, 28 + 16 - 1) << "level " << level; // frame 297 is in both
    }
}

TEST(SnakeRender, SingleFramesGifAndScriptRoundTrip)
{
    scratch_dir_t dir;
    // -o as PNG and as PPM.
    ASSERT_EQ(render("2 336 -o " + (dir / "f.png")).status, 0);
    ASSERT_EQ(render("2 336 -o " + (dir / "f.ppm")).status, 0);
    const std::string expected = pc_snake(2, 336);
    EXPECT_TRUE(read_text(dir / "f.ppm") == expected) << "the PPM is not pc-snake's";
    EXPECT_TRUE(
        same_image("render_single", decode_png(read_file(dir / "f.png")), decode_ppm(expected)));

    // The GIF's frames as a viewer draws them, with their delay and a loop.
    ASSERT_EQ(render("3 300-312/4 -q --gif " + (dir / "g.gif") + " --delay 7").status, 0);
    const gif_movie_t movie = decode_gif(read_file(dir / "g.gif"));
    ASSERT_EQ(movie.frames.size(), 4u);
    EXPECT_TRUE(movie.loops);
    for (std::size_t i = 0; i < movie.frames.size(); ++i) {
        EXPECT_EQ(movie.delays_cs[i], 7);
        EXPECT_TRUE(same_image("render_gif_frame" + std::to_string(i), movie.frames[i],
                               decode_ppm(pc_snake(3, 300 + 4 * static_cast<long>(i)))));
    }

    // The built-in script, dumped and read back, plays the same game.
    const run_t dump = render("--dump-keys");
    ASSERT_EQ(dump.status, 0);
    std::ofstream(dir / "keys.txt") << dump.out;
    ASSERT_EQ(render("1 290-345/5 -q --ppm-dir " + (dir / "a")).status, 0);
    ASSERT_EQ(
        render("1 290-345/5 -q --keys " + (dir / "keys.txt") + " --ppm-dir " + (dir / "b")).status,
        0);
    for (long f = 290; f <= 345; f += 5)
        EXPECT_TRUE(same_image("render_dumped_keys_frame" + std::to_string(f),
                               decode_ppm(read_text(frame_file(dir / "b", 1, f, "ppm"))),
                               decode_ppm(read_text(frame_file(dir / "a", 1, f, "ppm")))));
}

TEST(SnakeRender, BudgetCountsEveryTickByPass)
{
    scratch_dir_t dir;
    // The wall outline costs 147, 163, 198 and 238 ticks at levels 1 to 4; the
    // whole first frame of level 1 takes 368.
    const long walls[] = {147, 163, 198, 238};
    for (int level = 1; level <= 4; ++level) {
        const std::string csv = dir / ("b" + std::to_string(level) + ".csv");
        ASSERT_EQ(render(std::to_string(level) + " 1-400 -q --budget " + csv + " --budget-svg " +
                         (dir / "b.svg"))
                      .status,
                  0);
        const auto rows = csv_rows(read_text(csv));
        ASSERT_EQ(rows.size(), 400u);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const auto &r = rows[i];
            EXPECT_EQ(r[0], static_cast<long>(i) + 1);
            EXPECT_EQ(r[1], r[2] + r[3] + r[4] + r[5] + r[6] + r[7]) << "frame " << r[0];
            EXPECT_EQ(r[3], walls[level - 1]) << "frame " << r[0];
            EXPECT_EQ(r[7], 1) << "one dark tick ends a frame";
        }
        if (level == 1) {
            EXPECT_EQ(rows[0][1], 368);
        }
        EXPECT_NE(read_text(dir / "b.svg").find("2000-tick limit"), std::string::npos);
    }
}

// The body grows one unit a frame, so the first frame over the limit (5034)
// is one tick too long: the dark tick that would have ended it. A run ends
// there alike whether frames came before it or not.
TEST(SnakeRender, AFrameOverTheBudgetEndsTheRunWithWhatCameBefore)
{
    for (const char *frames : {"4000-6000/10", "5030-5040", "5034-5040"}) {
        SCOPED_TRACE(frames);
        scratch_dir_t dir;
        // A WAV takes every frame of a range; video where FFmpeg is built in.
        const bool wav = std::string(frames).find('/') == std::string::npos;
        const run_t r =
            render("1 " + std::string(frames) + " -q --keys " + std::string(TEST_DATA) +
                   "/over_budget.keys --ppm-dir " + dir.path + " --gif " + (dir / "g.gif") +
                   " --budget " + (dir / "b.csv") + (wav ? " --wav " + (dir / "w.wav") : "") +
                   (PC_SNAKE_VIDEO ? " --video " + (dir / "v.mp4") : ""));
        ASSERT_EQ(r.status, 2) << r.err;
        const auto rows = csv_rows(read_text(dir / "b.csv"));
        ASSERT_GE(rows.size(), 1u);
        const std::vector<long> &last = rows.back();
        EXPECT_EQ(last[0], 5034);
        EXPECT_EQ(last[1], 2001); // counted up to the tick that broke the limit
        EXPECT_GT(last[6], 1000); // the grown body is what costs
        EXPECT_EQ(last[7], 1);
        for (std::size_t i = 0; i + 1 < rows.size(); ++i)
            EXPECT_LE(rows[i][1], 2000);
        EXPECT_EQ(r.err.rfind("EXIT (tick=2001)  @", 0), 0u) << r.err;
        EXPECT_EQ(r.err.substr(r.err.find('\n') + 1),
                  "snake-render: frame 5034, pass end: more than 2000 beam ticks\n");
        // Every rendered frame before it is there, complete; the GIF holds
        // them all; the GIF, the WAV and the video are not written without any.
        const long rendered = static_cast<long>(rows.size()) - 1; // then the aborted one
        std::size_t files = 0;
        for (const auto &entry : fs::directory_iterator(dir.path))
            files += entry.path().extension() == ".ppm";
        EXPECT_EQ(static_cast<long>(files), rendered);
        EXPECT_EQ(fs::exists(dir / "w.wav"), wav && rendered > 0);
        EXPECT_EQ(fs::exists(dir / "v.mp4"), PC_SNAKE_VIDEO && rendered > 0);
        if (rendered > 0) {
            EXPECT_EQ(static_cast<long>(decode_gif(read_file(dir / "g.gif")).frames.size()),
                      rendered);
        } else {
            EXPECT_FALSE(fs::exists(dir / "g.gif"));
        }
    }
}

// The plot spans the frames the run wrote, so one that broke off draws its
// pixel columns anew (by playing the game again): it is the plot of a run
// asked for just those frames.
TEST(SnakeRender, PlotOfARunThatBrokeOffIsThePlotOfItsFrames)
{
    const std::pair<const char *, const char *> same[] = {
        {"4000-6000", "4000-5034"}, // 1035 frames, more than the plot's columns
        {"5040-6000", "5034"},      // broken off before the range
    };
    scratch_dir_t dir;
    for (const auto &[broken, asked] : same) {
        SCOPED_TRACE(broken);
        const std::string keys = " -q --keys " + std::string(TEST_DATA) + "/over_budget.keys";
        EXPECT_EQ(
            render("1 " + std::string(broken) + keys + " --budget-svg " + (dir / "a.svg")).status,
            2);
        EXPECT_EQ(
            render("1 " + std::string(asked) + keys + " --budget-svg " + (dir / "b.svg")).status,
            2);
        EXPECT_EQ(read_text(dir / "a.svg"), read_text(dir / "b.svg"));
    }
}

TEST(SnakeRender, FaultsAreReportedAndLeaveNoFiles)
{
    scratch_dir_t dir;
    {
        std::ofstream(dir / "bad.keys") << "# fine\n5 left\n3 right\n";
        std::ofstream(dir / "keys.csv") << "5 left\n"; // a script may have any name
        fs::create_directory(dir / "folder.gif");
    }
    struct case_t {
        std::string args;
        int status;
        std::string message; // stderr contains it
    };
    const std::string png = " -o " + (dir / "x.png"), d = dir.path + "/";
    std::vector<case_t> cases = {
        {"1 5 --scale 9" + png, 1, "--scale"},
        {"1 5 --bogus" + png, 1, "--bogus"},
        {"5 5" + png, 1, "LEVEL"},
        {"1 9-3" + png, 1, "FRAMES"},
        {"1 1-3" + png, 1, "--output takes one frame"},
        {"1 1 -o " + d + "x.jpg", 1, "must end in .png or .ppm"},
        {"1 1", 1, "nothing to write"},
        {"1 1 --device --speed 3" + png, 1, "--device"},
        {"1 1 --device --sim" + png, 1, "--device keeps the level table's pace; it goes with no"},
        {"1 1 --seed ''" + png, 1, "--seed: the value is empty; give a whole number from 1 to"},
        {"1 1 --crf 99999999999999999999" + png, 1, "--crf: '99999999999999999999' is too large"},
        {"1 1-2 --gif " + d + "x.png", 1, "--gif " + d + "x.png: the name must end in .gif"},
        {"1 1-2 --wav " + d + "x.mp3", 1, "x.mp3: the name must end in .wav"},
        {"1 1-2 --beam " + d + "x.wav", 1, "x.wav: the name must end in .csv"},
        {"1 1-2 --gif \"$(printf 'a\\033[2J')\"", 1, "--gif a\\x1b[2J: the name must end in .gif"},
        {"1 1-2 --trace " + d + "t.svg", 1, "--trace draws one frame, not a range"},
        {"1 5 --trace " + d + "t.jpg", 1, "must end in .svg or .png"},
        {"1 1-5 --video " + d + "a.avi", 1, "must end in .mp4 or .webm"},
        // Options of the other look, or of an output not asked for.
        {"1 5 --size 512" + png, 1, "--size goes with the tube look"},
        {"1 5 --persistence 50" + png, 1, "--persistence goes with the tube"},
        {"1 5 --look tube --scale 2" + png, 1, "--scale goes with the exact"},
        {"1 5 --look tube -o " + d + "a.ppm", 1, "PPM is pc-snake's exact picture"},
        {"1 1-5 --look tube --size 301 --video " + d + "a.mp4", 1, "even --size"},
        {"1 1-5 --fps 30 --gif " + d + "a.gif", 1, "--fps goes with --video"},
        {"1 5 --tick-rate 5000" + png, 1, "--tick-rate goes with the tube"},
        {"1 5 --look hazy" + png, 1, "--look"},
        {"1 1-9 --keys " + d + "bad.keys --gif " + d + "x.gif", 1,
         d + "bad.keys:3: frame 3 does not come after frame 5"},
        {"1 1 --keys " + d + "none.keys" + png, 1, "cannot read"},
        // The files together, before any work.
        {"1 1 -o " + d + "no/such/x.png", 1, d + "no/such/x.png"},
        {"1 5 --trace " + d + "no/t.png", 1, d + "no/t.png"},
        {"1 5 --beam " + d + "no/b.csv", 1, d + "no/b.csv"},
        {"1 1-2 --gif /dev/full/x.gif", 1, "/dev/full/x.gif"},
        {"1 1-3 --budget " + d + "x.csv --beam " + d + "x.csv", 1,
         "--budget " + d + "x.csv and --beam " + d + "x.csv are the same file"},
        {"1 1-3 --keys " + d + "keys.csv --beam " + d + "keys.csv", 1,
         "--beam " + d + "keys.csv and --keys " + d + "keys.csv are the same file"},
        {"1 1-3 --gif " + d + "folder.gif", 1, "--gif " + d + "folder.gif is a folder"},
        // A write that fails ends the run at the first frame, not after all of them.
        {"1 1-2147483647 --beam /dev/full", 4, "cannot write /dev/full: No space left on device"},
    };
    for (const char *option :
         {"--focus", "--brightness", "--persistence", "--glow", "--gain", "--seconds"})
        for (const bad_number_t &bad : BAD_REALS)
            cases.push_back({"1 5 --look tube --wav " + (dir / "x.wav") + png + " " + option +
                                 " '" + bad.text + "'",
                             1, option + std::string(": ") + bad.said});
    for (const case_t &c : cases) {
        const run_t r = render(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
    }
    std::size_t left = 0;
    for (const auto &entry : fs::directory_iterator(dir.path))
        left += entry.path().filename() != "bad.keys" && entry.path().filename() != "keys.csv" &&
                entry.path().filename() != "folder.gif";
    EXPECT_EQ(left, 0u) << "a failed run left files behind";

    const run_t help = render("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Examples:"), std::string::npos);
    EXPECT_EQ(help_misaligned(help.out), "");
}

// "-" is standard output for the outputs that stream; devices are written
// through, and their failures reported.
TEST(SnakeRender, StandardOutputAndDevicesAreWrittenThrough)
{
    const std::string frame = pc_snake(1, 120);
    const run_t ppm = render("1 120 -o -");
    EXPECT_EQ(ppm.status, 0) << ppm.err;
    EXPECT_TRUE(ppm.out == frame) << "-o - is not pc-snake's image";
    const run_t png = render("1 120 -o png:-");
    EXPECT_EQ(png.status, 0) << png.err;
    EXPECT_TRUE(same_image("render_png_stdout",
                           decode_png(std::vector<std::uint8_t>(png.out.begin(), png.out.end())),
                           decode_ppm(frame)));
    const run_t csv = render("1 1-3 -q --budget -");
    EXPECT_EQ(csv_rows(csv.out).size(), 3u);
    const run_t full = render("1 1-3 -q --gif /dev/full");
    EXPECT_EQ(full.status, 4);
    EXPECT_NE(full.err.find("/dev/full: No space left on device"), std::string::npos) << full.err;
    // A descriptor's name takes any ending, even where it is a regular file.
    scratch_dir_t out;
    const run_t named = run_program(SNAKE_RENDER_BIN, "1 1-3 -q --gif /dev/stdout", out / "o");
    EXPECT_EQ(named.status, 0) << named.err;
    EXPECT_EQ(decode_gif(read_file(out / "o")).frames.size(), 3u);
    const run_t two = render("1 1-3 -q --gif - --budget /dev/stdout");
    EXPECT_EQ(two.status, 1);
    EXPECT_EQ(two.err, "snake-render: only one output can go to standard output: --gif - and "
                       "--budget /dev/stdout\n");
    // Closed when the program starts: refused, and nothing lands in a file
    // the program opens for itself.
    scratch_dir_t dir;
    const run_t closed =
        run_program(SNAKE_RENDER_BIN, "1 1-3 -q --gif " + (dir / "g.gif") + " --budget -", "&-");
    EXPECT_EQ(closed.status, 4);
    EXPECT_EQ(closed.err, "snake-render: cannot write to standard output: Bad file descriptor\n");
    EXPECT_TRUE(fs::is_empty(dir.path));
}

} // namespace
