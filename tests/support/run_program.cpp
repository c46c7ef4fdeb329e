#include "tests/support/run_program.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string take(const std::string &path)
{
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    std::filesystem::remove(path);
    return text.str();
}

int serial = 0; // distinct file names within one test process

} // namespace

run_t run_program(const std::string &program, const std::string &tail,
                  const std::string &out_target)
{
    const std::string base = (std::filesystem::temp_directory_path() / "pc_snake_run_").string() +
                             std::to_string(getpid()) + "_" + std::to_string(++serial);
    const std::string out_file = base + ".out", err_file = base + ".err";
    std::ofstream{out_file}; // exists even when stdout goes elsewhere
    const int raw = std::system(("timeout -k 5 60 '" + program + "' " + tail + " >" +
                                 (out_target.empty() ? out_file : out_target) + " 2>" + err_file)
                                    .c_str());
    const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return {status, take(out_file), take(err_file)};
}

std::string help_misaligned(const std::string &help)
{
    std::istringstream lines(help);
    bool listing = false; // within "Options:" or "Positionals:"
    std::size_t column = 0, narrowest_gap = 99;
    for (std::string line; std::getline(lines, line);) {
        if (!listing || line.empty()) {
            listing = line == "Options:" || line == "Positionals:";
            continue;
        }
        const std::size_t name_end = line.find("  ", 2);
        const std::size_t text = line.find_first_not_of(' ', name_end);
        if (name_end == std::string::npos || text == std::string::npos ||
            (column != 0 && text != column))
            return line;
        column = text;
        narrowest_gap = std::min(narrowest_gap, text - name_end);
    }
    return narrowest_gap == 2 ? "" : "blanks";
}

scratch_dir_t::scratch_dir_t()
{
    std::string pattern =
        (std::filesystem::temp_directory_path() / "pc_snake_test_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::filesystem::filesystem_error("mkdtemp",
                                                std::error_code(errno, std::generic_category()));
    path = pattern;
}

scratch_dir_t::~scratch_dir_t()
{
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
}

std::string foreign_line(const std::string &text, const std::string &prefix)
{
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (!line.starts_with(prefix))
            return line.empty() ? "(an empty line)" : line;
    return "";
}
