// snake-play's command line with arbitrary arguments, parsed and settled in
// this process (no window) in a scratch folder (fuzz_command.h). Every run
// must go on to play, or end with status 0 (help, version) or 1 with a
// message; what goes on to play must be settled within every bound, its
// numbers finite, and nothing may be written. Arguments with a '/' are
// passed over, so that no key script outside the folder is read.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_command.h"
#include "host/options/signal_options.h"
#include "host/play/frame_pacer.h"
#include "host/snake-play/play_options.h"

namespace {

bool passed_over(std::string_view arg) { return arg.find('/') != std::string_view::npos; }

bool within(double v, double lo, double hi) { return std::isfinite(v) && v >= lo && v <= hi; }

void check_settled(const play_options_t &o)
{
    FUZZ_CHECK(o.setup.level >= 1 && o.setup.level <= 4);
    FUZZ_CHECK(o.setup.seed >= 1 && o.setup.seed <= 32767);
    FUZZ_CHECK(o.frames >= 0 && o.fps >= 0 && o.fps <= PLAY_FPS_MAX);
    FUZZ_CHECK(o.scale >= 1 && o.scale <= WINDOW_SCALE_MAX);
    FUZZ_CHECK(o.slow_tps >= 1 && o.slow_tps <= SLOW_TICKS_PER_SECOND_MAX);
    const tube_settings_t &t = o.look.tube;
    FUZZ_CHECK(t.size >= TUBE_SIZE_MIN && t.size <= TUBE_SIZE_MAX);
    FUZZ_CHECK(within(t.focus, TUBE_FOCUS_MIN, TUBE_FOCUS_MAX));
    FUZZ_CHECK(within(t.brightness, TUBE_BRIGHTNESS_MIN, TUBE_BRIGHTNESS_MAX));
    FUZZ_CHECK(within(t.persistence_ms, 0, TUBE_PERSISTENCE_MAX_MS));
    FUZZ_CHECK(within(t.glow, 0, TUBE_GLOW_MAX));
    FUZZ_CHECK(t.tick_rate >= BEAM_TICK_RATE_MIN && t.tick_rate <= BEAM_TICK_RATE_MAX);
    // The light fades by the frame as shown, or with sound by its ticks.
    FUZZ_CHECK(o.audio ? t.frame_ms == 0 : within(t.frame_ms, 1, 1000));
    FUZZ_CHECK(o.signal.tick_rate == t.tick_rate);
    FUZZ_CHECK(o.signal.rate >= SIGNAL_RATE_MIN && o.signal.rate <= SIGNAL_RATE_MAX);
    FUZZ_CHECK(within(o.signal.gain, 0, 1) && o.signal.gain > 0);
    FUZZ_CHECK(o.replay || o.keys.presses.empty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const fuzz_scratch_t scratch("fuzz_play");
    std::vector<std::string> args = fuzz_arguments("snake-play", data, size, passed_over);
    if (args.empty())
        return 0;
    play_options_t options;
    std::string said;
    const int status = fuzz_run(
        [&options](int argc, char **argv) { return parse_play_options(argc, argv, &options); },
        args, scratch, &said);
    FUZZ_CHECK(status == -1 || status == 0 || status == 1);
    FUZZ_CHECK(status != 1 || !said.empty());
    if (status == -1)
        check_settled(options);
    FUZZ_CHECK(std::filesystem::is_empty(scratch.dir));
    return 0;
}
