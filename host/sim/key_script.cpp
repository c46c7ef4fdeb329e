#include "host/sim/key_script.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "host/sim/stimuli.h"

namespace {

std::string_view trim(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Splits off the first word; the rest keeps its leading blanks trimmed.
std::string_view next_word(std::string_view &s)
{
    s = trim(s);
    std::size_t end = 0;
    while (end < s.size() && s[end] != ' ' && s[end] != '\t')
        ++end;
    const std::string_view word = s.substr(0, end);
    s = trim(s.substr(end));
    return word;
}

// A whole word as a number: decimal, or hexadecimal with 0x.
bool read_number(std::string_view word, std::int64_t *value)
{
    int base = 10;
    if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
        base = 16;
        word.remove_prefix(2);
    }
    if (word.empty() || word.size() > 18)
        return false;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), *value, base);
    return ec == std::errc{} && end == word.data() + word.size() && *value >= 0;
}

std::optional<std::uint8_t> read_key(std::string_view word)
{
    for (const key_name_t &k : KEY_NAMES)
        if (word == k.name)
            return k.key;
    std::int64_t code = 0;
    if (read_number(word, &code) && code >= 1 && code <= 255)
        return static_cast<std::uint8_t>(code);
    return std::nullopt;
}

struct setting_t {
    const char *name;
    std::int64_t min;
    std::int64_t max;
};

constexpr setting_t SETTINGS[] = {
    {"level", 1, 4},
    {"seed", 1, 32767},
    {"speed", 0, 255},
    {"growth", 0, 255},
};

// Reads one line into the script; returns what is wrong, or an empty text.
std::string read_line(std::string_view line, key_script_t *script)
{
    const std::size_t hash = line.find('#');
    if (hash != std::string_view::npos)
        line = line.substr(0, hash);
    std::string_view rest = line;
    const std::string_view first = next_word(rest);
    if (first.empty())
        return {};

    if (first == "device") {
        if (!rest.empty())
            return "'device' takes no value";
        script->device = true;
        return {};
    }
    for (const setting_t &s : SETTINGS) {
        if (first != s.name)
            continue;
        std::int64_t v = 0;
        const std::string_view word = next_word(rest);
        if (!rest.empty() || !read_number(word, &v) || v < s.min || v > s.max)
            return std::string(s.name) + " wants one number from " + std::to_string(s.min) +
                   " to " + std::to_string(s.max);
        if (first == "level")
            script->level = static_cast<std::uint8_t>(v);
        else if (first == "seed")
            script->seed = static_cast<std::uint16_t>(v);
        else if (first == "speed")
            script->speed = static_cast<std::uint8_t>(v);
        else
            script->growth = static_cast<std::uint8_t>(v);
        return {};
    }

    std::int64_t frame = 0;
    if (!read_number(first, &frame))
        return "expected 'FRAME KEY' or a setting, not '" + std::string(first) + "'";
    if (frame < 1 || frame > KEY_SCRIPT_MAX_FRAME)
        return "frame " + std::string(first) + " is out of range (1 to 2147483647)";
    if (!script->presses.empty() && frame <= script->presses.back().frame)
        return "frame " + std::to_string(frame) + " does not come after frame " +
               std::to_string(script->presses.back().frame);
    const std::string_view key_word = next_word(rest);
    if (key_word.empty())
        return "frame " + std::to_string(frame) + " has no key";
    const std::optional<std::uint8_t> key = read_key(key_word);
    if (!key)
        return "unknown key '" + std::string(key_word) +
               "' (a name such as left, right, up, down, faster, slower, or a code 1 to 255)";
    if (!rest.empty())
        return "unexpected '" + std::string(rest) + "' after the key";
    script->presses.push_back({frame, *key});
    return {};
}

} // namespace

key_script_t builtin_key_script()
{
    key_script_t script;
    for (std::size_t i = 0; i < STIMULI_FRAMES; ++i)
        if (stimuli[i] != 0) // index i is handed over after frame i + 1
            script.presses.push_back({static_cast<std::int64_t>(i) + 1, stimuli[i]});
    return script;
}

std::uint8_t key_after(const key_script_t &script, std::int64_t frame)
{
    const auto it =
        std::lower_bound(script.presses.begin(), script.presses.end(), frame,
                         [](const key_press_t &p, std::int64_t f) { return p.frame < f; });
    return (it != script.presses.end() && it->frame == frame) ? it->key : 0;
}

std::int64_t last_key_frame(const key_script_t &script)
{
    return script.presses.empty() ? 0 : script.presses.back().frame;
}

const char *key_name(std::uint8_t key)
{
    for (const key_name_t &k : KEY_NAMES)
        if (k.key == key)
            return k.name;
    return nullptr;
}

bool parse_key_script(std::string_view text, const std::string &name, key_script_t *out,
                      std::string *error)
{
    key_script_t script;
    std::size_t line_no = 0;
    while (!text.empty()) {
        ++line_no;
        const std::size_t nl = text.find('\n');
        const std::string_view line = text.substr(0, nl);
        text = (nl == std::string_view::npos) ? std::string_view{} : text.substr(nl + 1);
        if (line.find('\0') != std::string_view::npos) {
            *error = name + ":" + std::to_string(line_no) + ": not a text file";
            return false;
        }
        const std::string fault = read_line(line, &script);
        if (!fault.empty()) {
            *error = name + ":" + std::to_string(line_no) + ": " + fault;
            return false;
        }
    }
    *out = std::move(script);
    return true;
}

std::string format_key_script(const key_script_t &script)
{
    std::string out =
        "# pc-snake key script: FRAME KEY, the key reaches the game after FRAME is drawn\n";
    if (script.level)
        out += "level " + std::to_string(*script.level) + "\n";
    if (script.seed)
        out += "seed " + std::to_string(*script.seed) + "\n";
    if (script.device)
        out += "device\n";
    if (script.speed)
        out += "speed " + std::to_string(*script.speed) + "\n";
    if (script.growth)
        out += "growth " + std::to_string(*script.growth) + "\n";
    for (const key_press_t &p : script.presses) {
        out += std::to_string(p.frame) + " ";
        if (const char *n = key_name(p.key)) {
            out += n;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02x", p.key);
            out += hex;
        }
        out += "\n";
    }
    return out;
}
