// snake-render's command line with arbitrary arguments, run in this process
// in a scratch folder with a bound on the frames. The input is split at NUL
// bytes into at most 16 arguments behind the program name. Every run must end
// with a status from 0 to 4, say something on stderr when it is not 0, and
// leave no temporary file: an output is whole or absent.
//
// Arguments that name a path with '/' are passed over, so that nothing is
// written outside the scratch folder; so are the tube look, video and a WAV's
// --seconds, whose frames cost milliseconds each, more than a fuzzer's pace
// allows (their own tests cover them).
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "host/snake-render/render_command.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t MAX_ARGS = 16;
constexpr std::int64_t MAX_FRAMES = 8;
constexpr const char *SLOW[] = {"--look", "--video", "--seconds"};

bool passed_over(std::string_view arg)
{
    if (arg.find('/') != std::string_view::npos)
        return true;
    for (const char *option : SLOW)
        if (arg.rfind(option, 0) == 0)
            return true;
    return false;
}

// A named temporary output's name (where the file system gives no unnamed
// ones): '.', the start of the target's name, '-', six letters or digits.
bool temporary(const fs::path &p)
{
    const std::string name = p.filename().string();
    const std::size_t dash = name.rfind('-');
    return name.size() > 8 && name.front() == '.' && dash == name.size() - 7 &&
           std::all_of(name.begin() + static_cast<std::ptrdiff_t>(dash) + 1, name.end(),
                       [](unsigned char c) { return std::isalnum(c) != 0; });
}

struct scratch_t {
    fs::path dir;
    std::string err_file;
    scratch_t()
    {
        std::string pattern = (fs::temp_directory_path() / "fuzz_render_XXXXXX").string();
        FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
        dir = pattern;
        fs::current_path(dir);
        err_file = (dir.parent_path() / (dir.filename().string() + ".err")).string();
        // Standard output is an output like any other; nobody reads it here.
        const int null = ::open("/dev/null", O_WRONLY);
        FUZZ_CHECK(null >= 0 && ::dup2(null, STDOUT_FILENO) >= 0);
        ::close(null);
    }
};

// Runs the command with stderr caught in a file; returns the status and the text.
int run(std::vector<std::string> &args, const scratch_t &s, std::string *said)
{
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    const int err = ::open(s.err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    FUZZ_CHECK(saved >= 0 && err >= 0 && ::dup2(err, STDERR_FILENO) >= 0);
    ::close(err);
    const int status =
        render_command(static_cast<int>(args.size()), argv.data(), render_bounds_t{MAX_FRAMES});
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    std::FILE *f = std::fopen(s.err_file.c_str(), "rb");
    FUZZ_CHECK(f != nullptr);
    char buf[4096];
    const std::size_t n = std::fread(buf, 1, sizeof buf, f);
    std::fclose(f);
    said->assign(buf, n);
    return status;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const scratch_t scratch;
    std::vector<std::string> args{"snake-render"};
    std::string_view rest(reinterpret_cast<const char *>(data), size);
    while (!rest.empty() && args.size() <= MAX_ARGS) {
        const std::size_t nul = rest.find('\0');
        args.emplace_back(rest.substr(0, nul));
        rest = nul == std::string_view::npos ? std::string_view{} : rest.substr(nul + 1);
        if (passed_over(args.back()))
            return 0;
    }
    std::string said;
    const int status = run(args, scratch, &said);
    FUZZ_CHECK(status >= 0 && status <= 4);
    FUZZ_CHECK(status == 0 || !said.empty());
    for (const auto &entry : fs::recursive_directory_iterator(scratch.dir))
        FUZZ_CHECK(!temporary(entry.path()));
    for (const auto &entry : fs::directory_iterator(scratch.dir))
        fs::remove_all(entry.path());
    return 0;
}
