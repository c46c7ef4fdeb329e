// A run's files checked before the work: folders missing or in the way, one
// file under two names (hard and symbolic links, two spellings of a new
// name, an output over an input), and two outputs on standard output.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/io/output_checks.h"
#include "tests/support/child_process.h"
#include "tests/support/run_program.h"

namespace {

namespace fs = std::filesystem;

struct case_t {
    const char *name;
    std::vector<run_file_t> files;
    const char *fault; // nullptr: none
};

TEST(OutputChecks, EveryFaultNamesTheFilesBeforeTheWork)
{
    const case_t cases[] = {
        {"files of their own",
         {{"--beam", "a.csv", true}, {"--budget", "new.csv", true}, {"--keys", "k.keys", false}},
         nullptr},
        {"one file by a hard link",
         {{"--beam", "a.csv", true}, {"--budget", "hard.csv", true}},
         "--beam a.csv and --budget hard.csv are the same file"},
        {"one file by a symbolic link",
         {{"--wav", "sym.csv", true}, {"--beam", "a.csv", true}},
         "--wav sym.csv and --beam a.csv are the same file"},
        {"one new file spelt twice",
         {{"--beam", "new.csv", true}, {"--budget", "sub/../new.csv", true}},
         "--beam new.csv and --budget sub/../new.csv are the same file"},
        {"a new file by a link to nothing yet",
         {{"--beam", "dangling", true}, {"--budget", "sub/new.csv", true}},
         "--beam dangling and --budget sub/new.csv are the same file"},
        {"an output over an input",
         {{"--keys", "k.keys", false}, {"--record", "k.keys", true}},
         "--keys k.keys and --record k.keys are the same file"},
        {"one input twice", {{"--keys", "k.keys", false}, {"--also", "k.keys", false}}, nullptr},
        {"an output that is a folder", {{"--wav", "sub", true}}, "--wav sub is a folder"},
        {"a missing folder",
         {{"--video", "nosuchdir/x.mp4", true}},
         "the folder nosuchdir for nosuchdir/x.mp4 does not exist"},
        {"a missing folder named with its control characters",
         {{"--beam", "no\nsuch/x.csv", true}},
         "the folder no\\x0asuch for no\\x0asuch/x.csv does not exist"},
        {"two outputs on standard output",
         {{"-o", "-", true}, {"--gif", "a.gif", true}, {"--beam", "/dev/stdout", true}},
         "only one output can go to standard output: -o - and --beam /dev/stdout"},
        {"/dev/null as often as wished",
         {{"--beam", "/dev/null", true}, {"--wav", "/dev/null", true}},
         nullptr},
    };
    scratch_dir_t dir;
    fs::create_directory(dir / "sub");
    std::ofstream(dir / "a.csv") << "a";
    std::ofstream(dir / "k.keys") << "1 left\n";
    fs::create_hard_link(dir / "a.csv", dir / "hard.csv");
    fs::create_symlink("a.csv", dir / "sym.csv");
    fs::create_symlink("sub/new.csv", dir / "dangling");
    const fs::path before = fs::current_path();
    fs::current_path(dir.path);
    for (const case_t &c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        EXPECT_EQ(check_run_files(c.files, &error), c.fault == nullptr);
        EXPECT_EQ(error, c.fault == nullptr ? "" : c.fault);
    }
    fs::current_path(before);
}

// Root may make a file anywhere; a user may not, and hears it before the work.
TEST(OutputChecks, FolderThatTakesNoNewFile)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can run it as another user";
    scratch_dir_t dir;
    ::chmod(dir.path.c_str(), 0755);
    const child_t child = run_in_child([&] {
        if (!become_user(65534, 65534))
            return std::string("cannot become the user");
        std::string error;
        return check_run_files({{"--beam", dir / "x.csv", true}}, &error) ? "" : error;
    });
    EXPECT_EQ(child.said,
              "cannot make " + dir / "x.csv in the folder " + dir.path + ": Permission denied");
}

} // namespace
