#include "host/keys/stimuli.h"

namespace {

// Each press with the frame after which it reaches the game; `stimuli`
// holds it at frame index frame - 1.
// clang-format off
constexpr key_press_t BUILTIN_PRESSES[] = {
    {    2, KEY_LEFT     },
    {   42, KEY_DOWN_ALT },
    {   82, KEY_LEFT     },
    {  122, KEY_UP_ALT   },
    {  146, KEY_RIGHT    },
    {  178, KEY_DOWN_ALT },
    {  186, KEY_RIGHT    },
    {  274, KEY_UP_ALT   },
    {  298, KEY_LEFT     },
    {  306, KEY_DOWN_ALT },
    {  322, KEY_RIGHT    },
};
// clang-format on

constexpr std::array<std::uint8_t, STIMULI_FRAMES> spread_presses()
{
    std::array<std::uint8_t, STIMULI_FRAMES> table{};
    for (const key_press_t &press : BUILTIN_PRESSES)
        table[static_cast<std::size_t>(press.frame - 1)] = press.key;
    return table;
}

} // namespace

const std::array<std::uint8_t, STIMULI_FRAMES> stimuli = spread_presses();

key_script_t builtin_key_script()
{
    game_settings_t pc_snakes;
    pc_snakes.seed = parith::INITIAL_SEED;
    pc_snakes.speed = SIM_SPEED;
    pc_snakes.growth = SIM_GROWTH;
    return {{std::begin(BUILTIN_PRESSES), std::end(BUILTIN_PRESSES)}, pc_snakes};
}
