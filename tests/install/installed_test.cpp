// What the build installs beside the programs, as a user meets it: the
// version each program says, the manual pages as man reads them and the bash
// completion as bash runs it, each against the program's own --help.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "host/version.h"
#include "tests/support/run_program.h"

namespace {

namespace fs = std::filesystem;

struct program_t {
    const char *name;
    const char *path;
};

// The programs with a CLI11 command line (pc-snake has its two numbers).
std::vector<program_t> option_programs()
{
    std::vector<program_t> programs = {{"snake-render", SNAKE_RENDER_BIN}, {"wav-xy", WAV_XY_BIN}};
#ifdef SNAKE_PLAY_BIN
    programs.push_back({"snake-play", SNAKE_PLAY_BIN});
#endif
    return programs;
}

bool in_ci()
{
    const char *ci = std::getenv("CI");
    return ci != nullptr && std::string(ci) == "true";
}

bool have_command(const std::string &name)
{
    return run_program("sh", "-c 'command -v " + name + "'").status == 0;
}

// The option names an option line of the help begins with: "-o,--output FILE" gives -o and
// --output.
std::set<std::string> help_options(const std::string &help)
{
    std::set<std::string> names;
    std::istringstream lines(help);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.starts_with("  -"))
            continue;
        std::string head = line.substr(2, line.find("  ", 2) - 2);
        head = head.substr(0, head.find_first_of(" ="));
        std::istringstream parts(head);
        std::string name;
        while (std::getline(parts, name, ','))
            names.insert(name);
    }
    return names;
}

std::set<std::string> words_of(const std::string &text)
{
    std::istringstream in(text);
    std::set<std::string> words;
    for (std::string w; in >> w;)
        words.insert(w);
    return words;
}

// Whether `text` names `option` as a word of its own: --size, not --size-x or ---size.
bool mentions(const std::string &text, const std::string &option)
{
    const auto part_of_name = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-';
    };
    for (std::size_t at = text.find(option); at != std::string::npos;
         at = text.find(option, at + 1)) {
        const std::size_t end = at + option.size();
        if ((at == 0 || !part_of_name(text[at - 1])) &&
            (end == text.size() || !part_of_name(text[end])))
            return true;
    }
    return false;
}

std::string completion_file(const std::string &program)
{
    return std::string(COMPLETIONS_DIR) + "/" + program;
}

// What bash's completion of `program` offers for the words typed, the last
// being the one completed, as bash splits them (--look=t is --look = t), in
// the folder `dir` / "files"; sorted, one blank between.
std::string complete(const std::string &dir, const std::string &program,
                     const std::vector<std::string> &words)
{
    std::string line = "'" + program + "'";
    for (const std::string &w : words)
        line += " '" + w + "'";
    std::ofstream(dir + "/complete.bash")
        << "cd '" << dir << "/files' || exit 9\n"
        << "source '" << completion_file(program) << "' || exit 9\n"
        << "read -r -a binding <<< \"$(complete -p '" << program << "')\"\n"
        << "COMP_WORDS=(" << line << ")\n"
        << "COMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n"
        << "COMPREPLY=()\n"
        << "\"${binding[2]}\" || exit 9\n"
        << "printf '%s\\n' \"${COMPREPLY[@]}\" | LC_ALL=C sort | tr '\\n' ' '\n";
    const run_t r = run_program("bash", "--norc --noprofile '" + dir + "/complete.bash'");
    EXPECT_EQ(r.status, 0) << r.err;
    std::string offered = r.out;
    while (!offered.empty() && offered.back() == ' ')
        offered.pop_back();
    return offered;
}

TEST(Installed, EveryProgramSaysTheBuildsVersion)
{
    for (const program_t &p : option_programs()) {
        for (const char *flag : {"-V", "--version"}) {
            const run_t r = run_program(p.path, flag);
            EXPECT_EQ(r.status, 0) << p.name << " " << flag;
            EXPECT_EQ(r.out, std::string(p.name) + " " + PC_SNAKE_VERSION + "\n")
                << p.name << " " << flag;
        }
    }
}

// Completing "-" offers exactly the options the help lists: none missing,
// none hidden (--bash-completion) or made up.
TEST(Installed, CompletionOffersEveryOptionOfTheHelp)
{
    scratch_dir_t dir;
    fs::create_directory(dir / "files");
    for (const program_t &p : option_programs()) {
        const run_t help = run_program(p.path, "--help");
        ASSERT_EQ(help.status, 0) << p.name;
        const std::set<std::string> listed = help_options(help.out);
        EXPECT_GE(listed.size(), 4u) << p.name << ": the help's options were not found";
        EXPECT_EQ(words_of(complete(dir.path, p.name, {"-"})), listed) << p.name;
    }
}

TEST(Installed, CompletionOffersTheValuesTheOptionsTake)
{
    scratch_dir_t dir;
    fs::create_directories(dir / "files/sub");
    for (const char *name : {"a.gif", "b.png", "c.mp4", "d.webm", "t.svg", "w.wav", "k.csv"})
        std::ofstream(dir / ("files/" + std::string(name))) << "";
    struct row_t {
        std::string program;
        std::vector<std::string> words;
        std::string offered;
    };
    std::vector<row_t> rows = {
        {"snake-render", {"--look", ""}, "exact tube"},
        {"snake-render", {"--look", "="}, "exact tube"},
        {"snake-render", {"--look", "=", "t"}, "tube"},
        {"snake-render", {"--wav-format", ""}, "float pcm16 pcm24"},
        {"snake-render", {"--scale", ""}, "1 2 3 4 5 6 7 8"},
        {"snake-render", {"--gif", ""}, "a.gif sub"},
        {"snake-render", {"--video", ""}, "c.mp4 d.webm sub"},
        {"snake-render", {"--trace", ""}, "b.png sub t.svg"},
        {"snake-render", {"-o", ""}, "b.png sub"},
        {"snake-render", {"--beam", ""}, "k.csv sub"},
        {"snake-render", {"--wav", ""}, "sub w.wav"},
        {"snake-render", {"--png-dir", ""}, "sub"},
        {"snake-render", {"--keys", ""}, "a.gif b.png builtin c.mp4 d.webm k.csv sub t.svg w.wav"},
        {"snake-render", {"--seed", ""}, ""},
        {"snake-render", {""}, "1 2 3 4"},
        {"snake-render", {"--look", "tube", "-q", ""}, "1 2 3 4"},
        {"snake-render", {"--look", "=", "tube", ""}, "1 2 3 4"},
        {"snake-render", {"3", ""}, ""},
        {"wav-xy", {""}, "sub w.wav"},
        {"wav-xy", {"w.wav", ""}, "b.png sub"},
        {"wav-xy", {"w.wav", "b.png", ""}, "1 2 3 4 5 6 7 8"},
        {"pc-snake", {""}, "1 2 3 4"},
        {"pc-snake", {"3", ""}, ""},
    };
#ifdef SNAKE_PLAY_BIN
    rows.push_back({"snake-play", {"--level", ""}, "1 2 3 4"});
    rows.push_back({"snake-play", {"--look", ""}, "exact tube"});
    rows.push_back({"snake-play", {"--screenshot", ""}, "b.png sub"});
    rows.push_back({"snake-play", {"--keys", "b"}, "b.png builtin"});
#endif
    for (const row_t &row : rows) {
        std::string typed = row.program;
        for (const std::string &w : row.words)
            typed += " " + w;
        EXPECT_EQ(complete(dir.path, row.program, row.words), row.offered) << typed;
    }
}

// A tool the check needs: where it is missing the check is skipped, with a
// message, except in CI, which installs it.
#define NEED_TOOL(name)                                                                            \
    do {                                                                                           \
        if (!have_command(name)) {                                                                 \
            if (in_ci())                                                                           \
                FAIL() << name << " is missing (tools/install-deps.sh installs it)";               \
            GTEST_SKIP() << name << " is missing: the manual pages are not checked";               \
        }                                                                                          \
    } while (false)

// Each page as man shows it: no warnings from groff, the whatis line that
// lexgrog finds, and every option of the program's help.
TEST(Installed, ManualPagesReadAndNameEveryOption)
{
    if (std::string(MAN_DIR).empty()) {
        if (in_ci())
            FAIL() << "the manual pages were not built (scdoc missing)";
        GTEST_SKIP() << "the manual pages were not built: scdoc is missing";
    }
    NEED_TOOL("man");
    NEED_TOOL("lexgrog");
    std::vector<program_t> programs = option_programs();
    programs.push_back({"pc-snake", PC_SNAKE_BIN});
    for (const program_t &p : programs) {
        const std::string page = std::string(MAN_DIR) + "/" + p.name + ".1";
        const run_t shown =
            run_program("env", "LC_ALL=C.UTF-8 MANWIDTH=250 man --warnings -l '" + page + "'");
        EXPECT_EQ(shown.status, 0) << page;
        EXPECT_EQ(shown.err, "") << page;
        const run_t whatis = run_program("lexgrog", "'" + page + "'");
        EXPECT_EQ(whatis.status, 0) << page;
        EXPECT_NE(whatis.out.find(": \"" + std::string(p.name) + " - "), std::string::npos)
            << whatis.out;
        if (std::string(p.name) == "pc-snake")
            continue;
        for (const std::string &option : help_options(run_program(p.path, "--help").out))
            EXPECT_TRUE(mentions(shown.out, option))
                << p.name << "(1) does not describe " << option;
    }
    // pc-snake's page shows its German usage as pc-snake prints it.
    const run_t usage = run_program(PC_SNAKE_BIN, "5 0");
    ASSERT_EQ(usage.status, 1);
    const run_t page =
        run_program("env", "LC_ALL=C.UTF-8 MANWIDTH=250 man -l '" MAN_DIR "/pc-snake.1'");
    std::istringstream lines(usage.err);
    for (std::string line; std::getline(lines, line);) {
        if (const std::size_t at = line.find(PC_SNAKE_BIN); at != std::string::npos)
            line.replace(at, std::string(PC_SNAKE_BIN).size(), "pc-snake");
        EXPECT_NE(page.out.find(line + "\n"), std::string::npos)
            << "pc-snake(1) lacks the usage line '" << line << "'";
    }
}

} // namespace
