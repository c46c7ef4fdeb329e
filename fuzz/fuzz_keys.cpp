// The key-script reader with arbitrary text. A text it accepts must come
// back unchanged from its own text form, with frames rising and keys never
// 0; a text it refuses must say where, as "NAME:LINE: ...", with a line
// that exists, and never past a line beyond the bound on a line's length.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "host/keys/key_script.h"

namespace {

// Room for lines past the bound.
constexpr std::size_t MAX_INPUT = 2 * KEY_SCRIPT_LINE_MAX + 64;

// The number of the first line longer than the bound, or 0.
long first_long_line(std::string_view text)
{
    long line = 1;
    for (std::size_t start = 0; start <= text.size(); ++line) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        if (end - start > KEY_SCRIPT_LINE_MAX)
            return line;
        start = end + 1;
    }
    return 0;
}

void check_refusal(std::string_view text, const std::string &error)
{
    const std::string prefix = "keys:";
    FUZZ_CHECK(error.rfind(prefix, 0) == 0);
    const std::size_t colon = error.find(':', prefix.size());
    FUZZ_CHECK(colon != std::string::npos && colon > prefix.size());
    const long line = std::stol(error.substr(prefix.size(), colon - prefix.size()));
    const long lines = static_cast<long>(std::count(text.begin(), text.end(), '\n')) + 1;
    FUZZ_CHECK(line >= 1 && line <= lines);
    const long too_long = first_long_line(text);
    FUZZ_CHECK(too_long == 0 || line <= too_long); // not read on past it
}

void check_script(const key_script_t &script)
{
    for (std::size_t i = 0; i < script.presses.size(); ++i) {
        const key_press_t &p = script.presses[i];
        FUZZ_CHECK(p.key != 0);
        FUZZ_CHECK(p.frame >= 1 && p.frame <= KEY_SCRIPT_MAX_FRAME);
        FUZZ_CHECK(i == 0 || p.frame > script.presses[i - 1].frame);
        FUZZ_CHECK(key_after(script, p.frame) == p.key);
    }
    key_script_t back;
    std::string error;
    const std::string text = format_key_script(script);
    FUZZ_CHECK(parse_key_script(text, "again", &back, &error));
    FUZZ_CHECK(format_key_script(back) == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > MAX_INPUT)
        return 0;
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    key_script_t script;
    std::string error;
    if (parse_key_script(text, "keys", &script, &error)) {
        FUZZ_CHECK(first_long_line(text) == 0);
        check_script(script);
    } else {
        check_refusal(text, error);
    }
    return 0;
}
