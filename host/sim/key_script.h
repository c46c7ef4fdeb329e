// Key scripts: which key reaches the game after which frame, and the game's
// setup where a script names it. pc-snake's built-in script, and a small
// text form for files, read and written here:
//
//   # comment; blank lines are allowed
//   level 2          optional settings: level, seed, speed, growth, device
//   2 left           FRAME KEY: the key reaches the game after frame FRAME is
//   42 0x21          drawn; KEY is a name (key_names below) or a code 1 to 255
//
// Frames are pc-snake's frame numbers (1 = the first frame) and must rise.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct key_press_t {
    std::int64_t frame; // delivered after this frame is drawn
    std::uint8_t key;   // the module's key code, never 0
};

struct key_name_t {
    const char *name;
    std::uint8_t key;
};

// The module's key codes by name; up2 and down2 are the alternative codes.
inline constexpr std::array<key_name_t, 8> KEY_NAMES = {{
    {"left", 0x11},
    {"right", 0x10},
    {"up", 0x39},
    {"up2", 0x20},
    {"down", 0x38},
    {"down2", 0x21},
    {"faster", 0x0A},
    {"slower", 0x28},
}};

// The code of a named key; an unknown name fails to compile where a constant is needed.
constexpr std::uint8_t key_code(std::string_view name)
{
    for (const key_name_t &k : KEY_NAMES)
        if (name == k.name)
            return k.key;
    throw "no key of that name";
}

inline constexpr std::int64_t KEY_SCRIPT_MAX_FRAME = 2147483647;

// Bounds of the text form. An hour's recording with a key in every frame is
// about 2 MB; anything past these is not a key script.
inline constexpr std::size_t KEY_SCRIPT_LINE_MAX = 4096;                  // bytes a line
inline constexpr std::size_t KEY_SCRIPT_SIZE_MAX = std::size_t{64} << 20; // bytes a file

// What a game is besides its keys, as far as a script or a command line
// names it; what neither names comes from the program's defaults.
struct game_settings_t {
    std::optional<std::uint8_t> level;
    std::optional<std::uint16_t> seed;
    std::optional<std::uint8_t> speed;
    std::optional<std::uint8_t> growth;
    bool device = false; // the level table's own speed and growth

    friend bool operator==(const game_settings_t &, const game_settings_t &) = default;
};

struct key_script_t {
    std::vector<key_press_t> presses; // frames strictly rising
    game_settings_t settings;         // the lines "level N", "seed N", ...
};

// pc-snake's script, from the table stimuli.
key_script_t builtin_key_script();

// The key delivered after `frame`, or 0.
std::uint8_t key_after(const key_script_t &script, std::int64_t frame);

// The last frame that has a key, or 0 for an empty script.
std::int64_t last_key_frame(const key_script_t &script);

// Reads the text form a line at a time, so that a file need not be held whole.
class key_script_reader_t {
  public:
    explicit key_script_reader_t(std::string name) : name_(std::move(name)) {}

    // The next line, without its '\n'. On a fault returns false with
    // "NAME:LINE: what is wrong"; the script is then not to be used.
    bool add_line(std::string_view line, std::string *error);

    // Refuses, at the line where it was met, a text that goes on too long.
    std::string fault_here(const std::string &what) const;

    key_script_t script;

  private:
    std::string name_;
    std::size_t line_no_ = 0;
};

// Reads a whole text. On a fault returns false with "NAME:LINE: what is
// wrong"; a text beyond KEY_SCRIPT_SIZE_MAX is refused unread.
bool parse_key_script(std::string_view text, const std::string &name, key_script_t *out,
                      std::string *error);

// A text as it may be shown on a terminal: printable ASCII as it is, other
// bytes as \xNN, cut to `most` characters with "..." after.
std::string shown_text(std::string_view text, std::size_t most = 40);

// The text form: settings first, then one press per line, keys by name where
// they have one.
std::string format_key_script(const key_script_t &script);

// The name of a key code, or nullptr.
const char *key_name(std::uint8_t key);
