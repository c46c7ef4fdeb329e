// Key scripts: which key reaches the game after which frame, and the game's
// settings where a script names them. A small text form, read a line at a
// time and written back here:
//
//   # comment; blank lines are allowed
//   level 2          optional settings: level, seed, speed, growth, device
//   2 left           FRAME KEY: the key reaches the game after frame FRAME is
//   42 0x21          drawn; KEY is a name (KEY_NAMES below) or a code 1 to 255
//
// Frames are pc-snake's frame numbers (1 = the first frame) and must rise.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/keys/game_settings.h"
#include "snake/snake.h"

struct key_press_t {
    std::int64_t frame; // delivered after this frame is drawn
    std::uint8_t key;   // the module's key code, never 0
};

// The module's key codes by name (snake/snake.h); up2 and down2 are the
// alternative codes of up and down.
struct key_name_t {
    const char *name;
    std::uint8_t key;
};

inline constexpr std::array<key_name_t, 8> KEY_NAMES = {{
    {"left", KEY_LEFT},
    {"right", KEY_RIGHT},
    {"up", KEY_UP},
    {"up2", KEY_UP_ALT},
    {"down", KEY_DOWN},
    {"down2", KEY_DOWN_ALT},
    {"faster", KEY_FASTER},
    {"slower", KEY_SLOWER},
}};

inline constexpr std::int64_t KEY_SCRIPT_MAX_FRAME = 2147483647;

// Bounds of the text form. An hour's recording with a key in every frame is
// about 2 MB; anything past these is not a key script.
inline constexpr std::size_t KEY_SCRIPT_LINE_MAX = 4096;                  // bytes a line
inline constexpr std::size_t KEY_SCRIPT_SIZE_MAX = std::size_t{64} << 20; // bytes a file

struct key_script_t {
    std::vector<key_press_t> presses; // frames strictly rising
    game_settings_t settings;         // the lines "level N", "seed N", ...
};

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

// "NAME:LINE: longer than 64 MiB, too long for a key script", at `reader`'s line.
std::string key_script_too_long(const key_script_reader_t &reader);

// A text as it may be shown on a terminal: printable ASCII as it is, other
// bytes as \xNN, cut to `most` characters with "..." after.
std::string shown_text(std::string_view text, std::size_t most = 40);

// The text form: settings first, then one press per line, keys by name where
// they have one.
std::string format_key_script(const key_script_t &script);

// The name of a key code, or nullptr.
const char *key_name(std::uint8_t key);
