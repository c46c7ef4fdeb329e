#include "host/keys/key_script.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

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

// "left, right, ...": every name a key may have.
std::string key_names_text()
{
    std::string names;
    for (const key_name_t &k : KEY_NAMES)
        names += (names.empty() ? "" : ", ") + std::string(k.name);
    return names;
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
        script->settings.device = true;
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
        game_settings_t &named = script->settings;
        if (first == "level")
            named.level = static_cast<std::uint8_t>(v);
        else if (first == "seed")
            named.seed = static_cast<std::uint16_t>(v);
        else if (first == "speed")
            named.speed = static_cast<std::uint8_t>(v);
        else
            named.growth = static_cast<std::uint8_t>(v);
        return {};
    }

    std::int64_t frame = 0;
    if (!read_number(first, &frame))
        return "expected 'FRAME KEY' or a setting, not '" + shown_text(first) + "'";
    if (frame < 1 || frame > KEY_SCRIPT_MAX_FRAME)
        return "frame " + shown_text(first) + " is out of range (1 to 2147483647)";
    if (!script->presses.empty() && frame <= script->presses.back().frame)
        return "frame " + std::to_string(frame) + " does not come after frame " +
               std::to_string(script->presses.back().frame);
    const std::string_view key_word = next_word(rest);
    if (key_word.empty())
        return "frame " + std::to_string(frame) + " has no key";
    const std::optional<std::uint8_t> key = read_key(key_word);
    if (!key)
        return "unknown key '" + shown_text(key_word) + "' (" + key_names_text() +
               ", or a code 1 to 255)";
    if (!rest.empty())
        return "unexpected '" + shown_text(rest) + "' after the key";
    script->presses.push_back({frame, *key});
    return {};
}

} // namespace

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

bool key_script_reader_t::add_line(std::string_view line, std::string *error)
{
    ++line_no_;
    std::string fault;
    if (line.size() > KEY_SCRIPT_LINE_MAX)
        fault = "a line longer than " + std::to_string(KEY_SCRIPT_LINE_MAX) + " bytes";
    else if (line.find('\0') != std::string_view::npos)
        fault = "not a text file";
    else
        fault = read_line(line, &script);
    if (fault.empty())
        return true;
    *error = name_ + ":" + std::to_string(line_no_) + ": " + fault;
    return false;
}

std::string key_script_reader_t::fault_here(const std::string &what) const
{
    return name_ + ":" + std::to_string(line_no_ + 1) + ": " + what;
}

bool parse_key_script(std::string_view text, const std::string &name, key_script_t *out,
                      std::string *error)
{
    key_script_reader_t reader(name);
    if (text.size() > KEY_SCRIPT_SIZE_MAX) {
        *error = key_script_too_long(reader);
        return false;
    }
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        if (!reader.add_line(text.substr(0, nl), error))
            return false;
        text = (nl == std::string_view::npos) ? std::string_view{} : text.substr(nl + 1);
    }
    *out = std::move(reader.script);
    return true;
}

std::string key_script_too_long(const key_script_reader_t &reader)
{
    return reader.fault_here("longer than " + std::to_string(KEY_SCRIPT_SIZE_MAX >> 20) +
                             " MiB, too long for a key script");
}

std::string shown_text(std::string_view text, std::size_t most)
{
    static constexpr char HEX[] = "0123456789abcdef";
    std::string out;
    for (const char c : text.substr(0, most)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            out += c;
        } else {
            out += "\\x";
            out += HEX[byte >> 4];
            out += HEX[byte & 0xF];
        }
    }
    if (text.size() > most)
        out += "...";
    return out;
}

std::string format_key_script(const key_script_t &script)
{
    std::string out =
        "# pc-snake key script: FRAME KEY, the key reaches the game after FRAME is drawn\n";
    const game_settings_t &named = script.settings;
    if (named.level)
        out += "level " + std::to_string(*named.level) + "\n";
    if (named.seed)
        out += "seed " + std::to_string(*named.seed) + "\n";
    if (named.device)
        out += "device\n";
    if (named.speed)
        out += "speed " + std::to_string(*named.speed) + "\n";
    if (named.growth)
        out += "growth " + std::to_string(*named.growth) + "\n";
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
