// The benchmark driver: it plays the scripted game frame by frame on the
// raster, and renders the writer's sample frame before any timing.
#include <benchmark/benchmark.h>

#include "bench/bench_game.h"
#include "host/keys/stimuli.h"
#include "host/sim/beam_raster.h"
#include "host/sim/scripted_run.h"

namespace {

std::vector<double> image_sample;
scripted_run_t game;
afterglow_t glow;

} // namespace

const afterglow_t &bench_afterglow() { return glow; }

void start_scripted_game(std::uint8_t level)
{
    game = scripted_run_t{};
    game.setup.level = level;
    game.keys = builtin_key_script();
    run_start(&game);
}

void play_recorded_frame(std::int64_t number)
{
    play_raster_frame(&game.game, number, key_after(game.keys, number), frame_use_t::asked);
}

void play_scripted_frames(std::uint8_t level, std::int64_t n)
{
    start_scripted_game(level);
    for (std::int64_t number = 1; number <= n; ++number)
        play_raster_frame(&game.game, number, key_after(game.keys, number),
                          number == n ? frame_use_t::asked : frame_use_t::unheard);
}

const std::vector<double> &bench_image() { return image_sample; }

int main(int argc, char **argv)
{
    const beam_listening_t listening(afterglow_listener(&glow));
    play_scripted_frames(3, BENCH_IMAGE_FRAME);
    image_sample.assign(glow.pixel.begin(), glow.pixel.end());

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
