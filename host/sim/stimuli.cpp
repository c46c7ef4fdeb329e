#include "host/sim/stimuli.h"

namespace {

struct key_press_t {
    std::size_t frame_index;
    std::uint8_t key;
};

// clang-format off
constexpr key_press_t KEY_SCRIPT[] = {
    {   1, 0x11 }, // left
    {  41, 0x21 }, // down
    {  81, 0x11 }, // left
    { 121, 0x20 }, // up
    { 145, 0x10 }, // right
    { 177, 0x21 }, // down
    { 185, 0x10 }, // right
    { 273, 0x20 }, // up
    { 297, 0x11 }, // left
    { 305, 0x21 }, // down
    { 321, 0x10 }, // right
};
// clang-format on

constexpr std::array<std::uint8_t, STIMULI_FRAMES> spread_script()
{
    std::array<std::uint8_t, STIMULI_FRAMES> table{};
    for (const key_press_t &press : KEY_SCRIPT)
        table.at(press.frame_index) = press.key;
    return table;
}

} // namespace

const std::array<std::uint8_t, STIMULI_FRAMES> stimuli = spread_script();
