// snake-render's command line with arbitrary arguments, run in this process
// in a scratch folder with a bound on the frames (fuzz_command.h). Every run
// must end with a status from 0 to 4, say something on stderr when it is not
// 0, and leave no temporary file: an output is whole or absent.
//
// Arguments that name a path with '/' are passed over, so that nothing is
// written outside the scratch folder; so are the tube look, video and a WAV's
// --seconds, whose frames cost milliseconds each, more than a fuzzer's pace
// allows (their own tests cover them).
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_command.h"
#include "host/snake-render/render_command.h"

namespace {

namespace fs = std::filesystem;

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

int bounded_render(int argc, char **argv)
{
    return render_command(argc, argv, render_bounds_t{MAX_FRAMES});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const fuzz_scratch_t scratch("fuzz_render");
    std::vector<std::string> args = fuzz_arguments("snake-render", data, size, passed_over);
    if (args.empty())
        return 0;
    std::string said;
    const int status = fuzz_run(bounded_render, args, scratch, &said);
    FUZZ_CHECK(status >= 0 && status <= 4);
    FUZZ_CHECK(status == 0 || !said.empty());
    for (const auto &entry : fs::recursive_directory_iterator(scratch.dir))
        FUZZ_CHECK(!temporary(entry.path()));
    for (const auto &entry : fs::directory_iterator(scratch.dir))
        fs::remove_all(entry.path());
    return 0;
}
