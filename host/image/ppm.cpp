#include "host/image/ppm.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <limits>

namespace {

constexpr char HEADER[] = "P3\n256 256\n255\n";
constexpr std::size_t ENTRY_MAX = 12;  // "255 255 255 "
constexpr std::size_t ENTRY_COPY = 16; // bytes copied per entry: its text and what follows
constexpr std::size_t ROW_MAX = SCREEN_SIDE * ENTRY_MAX + 1;

// The text of one entry, formatted once per colour and then copied.
struct entry_text_t {
    std::uint32_t key = 0; // the colour with bit 24 set; 0 while a slot is empty
    std::uint8_t size = 0;
    std::array<char, ENTRY_COPY> text{};
};

entry_text_t format_entry(const screen_rgb_t &rgb, std::uint32_t key)
{
    entry_text_t e;
    char *p = e.text.data();
    for (const std::uint8_t channel : rgb) {
        p = std::to_chars(p, e.text.data() + ENTRY_MAX, channel).ptr;
        *p++ = ' ';
    }
    e.size = static_cast<std::uint8_t>(p - e.text.data());
    e.key = key;
    return e;
}

// An image has few colours (black, the outside, the shades of points hit once,
// twice, filled in), so a small table indexed by a hash of the colour almost
// always holds the text; a colour that meets another's slot replaces it.
class entry_table_t {
  public:
    const entry_text_t &operator[](const screen_rgb_t &rgb)
    {
        const std::uint32_t key =
            (1u << 24) | (std::uint32_t{rgb[0]} << 16) | (std::uint32_t{rgb[1]} << 8) | rgb[2];
        entry_text_t &e = slots_[(key * 0x9E3779B1u) >> (32 - SLOT_BITS)];
        if (e.key != key)
            e = format_entry(rgb, key);
        return e;
    }

  private:
    static constexpr unsigned SLOT_BITS = 6;
    std::array<entry_text_t, std::size_t{1} << SLOT_BITS> slots_{};
};

// Appends one entry; the row has room for ENTRY_COPY bytes at p.
char *put(char *p, const entry_text_t &e)
{
    std::copy(e.text.begin(), e.text.end(), p);
    return p + e.size;
}

} // namespace

void write_ppm(const double *pixel, std::string &out)
{
    out.reserve(out.size() + sizeof HEADER - 1 + SCREEN_SIDE * ROW_MAX);
    out += HEADER;
    entry_table_t entries;
    const entry_text_t outside = entries[SCREEN_OUTSIDE];
    // Runs of equal values are the rule (black above all): the entry of the
    // last value is kept at hand. NaN matches nothing, so the first value misses.
    double last_value = std::numeric_limits<double>::quiet_NaN();
    entry_text_t last{};
    std::array<char, ROW_MAX + ENTRY_COPY> row;
    for (int y = SCREEN_SIDE - 1; y >= 0; --y) {
        char *p = row.data();
        for (int x = 0; x < SCREEN_SIDE; ++x) {
            if (!on_screen(x, y)) {
                p = put(p, outside);
                continue;
            }
            const double v = pixel[x * SCREEN_SIDE + y];
            if (v != last_value) {
                last_value = v;
                last = entries[beam_color(v)];
            }
            p = put(p, last);
        }
        *p++ = '\n';
        out.append(row.data(), p);
    }
}
