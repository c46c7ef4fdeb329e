// The programs' modules as a user meets them: no heavy library at start, a
// module found beside the program wherever it is copied or installed, and
// one that is missing said before any work.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/image_decode.h"
#include "tests/support/run_program.h"

namespace {

namespace fs = std::filesystem;

// The programs and modules copied into dir as they are installed: bin/, and
// the modules' folder at its place relative to bin/; `modules` are copied.
std::string lay_out(const scratch_dir_t &dir, const std::vector<std::string> &modules)
{
    fs::create_directories(dir / "bin");
    for (const char *program : {SNAKE_RENDER_BIN, WAV_XY_BIN})
        fs::copy_file(program, dir / ("bin/" + fs::path(program).filename().string()));
    const fs::path folder = (fs::path(dir / "bin") / MODULE_DIR_FROM_BIN).lexically_normal();
    fs::create_directories(folder);
    for (const std::string &module : modules)
        fs::copy_file(fs::path(MODULE_BUILD_DIR) / module, folder / module);
    return folder.string();
}

std::vector<std::string> files_in(const std::string &dir)
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    return names;
}

// What each program needs at start: none of FFmpeg's libraries nor
// libsndfile, which come with the modules.
TEST(Modules, NoHeavyLibraryAtStart)
{
    const std::string heavy[] = {"libavcodec", "libavformat", "libswscale", "libavutil",
                                 "libsndfile"};
    for (const char *program : {PC_SNAKE_BIN, SNAKE_RENDER_BIN, WAV_XY_BIN}) {
        SCOPED_TRACE(program);
        const run_t ldd = run_program("ldd", std::string("'") + program + "'");
        ASSERT_EQ(ldd.status, 0) << ldd.err;
        ASSERT_NE(ldd.out.find("libc.so"), std::string::npos) << ldd.out;
        for (const std::string &library : heavy)
            EXPECT_EQ(ldd.out.find(library), std::string::npos) << ldd.out;
    }
}

// Copied elsewhere with its modules, as `cmake --install` lays them out, a
// program finds them from its own file and makes the same bytes.
TEST(Modules, FoundBesideTheProgram)
{
    scratch_dir_t dir;
    std::vector<std::string> modules = {"wav.so"};
    if (PC_SNAKE_VIDEO)
        modules.push_back("video.so");
    lay_out(dir, modules);
    struct case_t {
        std::string output, options;
    };
    std::vector<case_t> cases = {{"a.wav", "--wav"}};
    if (PC_SNAKE_VIDEO)
        cases.push_back({"a.mp4", "--video"});
    for (const case_t &c : cases) {
        SCOPED_TRACE(c.options);
        const std::string tail = "2 1-40 -q " + c.options + " ";
        const run_t copied = run_program(dir / "bin/snake-render", tail + (dir / c.output));
        const run_t built = run_program(SNAKE_RENDER_BIN, tail + (dir / ("built-" + c.output)));
        ASSERT_EQ(copied.status, 0) << copied.err;
        ASSERT_EQ(built.status, 0) << built.err;
        EXPECT_EQ(read_file(dir / c.output), read_file(dir / ("built-" + c.output)));
    }
    const run_t xy = run_program(dir / "bin/wav-xy", (dir / "a.wav") + " " + (dir / "xy.png"));
    EXPECT_EQ(xy.status, 0) << xy.err;
    EXPECT_TRUE(fs::exists(dir / "xy.png"));
}

// Each '@' of `text` replaced by `with`.
std::string with_folder(std::string text, const std::string &with)
{
    for (std::size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at))
        text.replace(at, 1, with);
    return text;
}

// A module that is missing or broken: status 1 and one line that names the
// file and the loader's reason, before any output is begun.
TEST(Modules, MissingModuleSaidBeforeAnyWork)
{
    scratch_dir_t made;
    ASSERT_EQ(run_program(SNAKE_RENDER_BIN, "1 1-5 -q --wav " + (made / "in.wav")).status, 0);
    const std::string in = made / "in.wav";
    struct case_t {
        std::string program, args; // '@' in args: the test's folder
        std::string option;        // the option that needs the module, or ""
        std::string module;        // the module as the message names it
        bool broken;               // a file that is no shared object, rather than none
    };
    const std::string wav = "wav.so (libsndfile)";
    const std::string video = "video.so (FFmpeg's libraries)";
    std::vector<case_t> cases = {
        {"snake-render", "1 1-3 --gif @/out/g.gif --wav @/out/w.wav", "--wav: ", wav, false},
        {"snake-render", "1 1-3 --wav @/out/w.wav", "--wav: ", wav, true},
        {"wav-xy", in + " @/out/xy.png", "", wav, false},
    };
    if (PC_SNAKE_VIDEO) {
        cases.push_back({"snake-render", "1 1-3 --gif @/out/g.gif --video @/out/v.mp4",
                         "--video: ", video, false});
        cases.push_back({"snake-render", "1 1-3 --video @/out/v.webm", "--video: ", video, true});
    }
    for (const case_t &c : cases) {
        SCOPED_TRACE(c.args + (c.broken ? " (a broken module)" : ""));
        scratch_dir_t dir;
        const std::string folder = lay_out(dir, {});
        const std::string file = c.module.substr(0, c.module.find(' '));
        if (c.broken)
            std::ofstream(folder + "/" + file) << std::string(100, 'x') << '\n';
        fs::create_directories(dir / "out");
        const run_t r = run_program(dir / ("bin/" + c.program), with_folder(c.args, dir.path));
        const std::string reason =
            c.broken ? "invalid ELF header"
                     : "cannot open shared object file: No such file or directory";
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, c.program + ": " + c.option + "cannot load the module " + folder + "/" +
                             c.module + ": " + reason + "\n");
        EXPECT_TRUE(files_in(dir / "out").empty());
    }
}

} // namespace
