// The benchmark driver: it owns the raster's `frame` and `snake`, as
// pc-snake does, and renders the writer's sample frame before any timing.
#include <benchmark/benchmark.h>

#include <iterator>

#include "bench/bench_game.h"
#include "host/sim/beam_raster.h"
#include "host/sim/scripted_run.h"

std::int32_t frame;
snake_t snake;

namespace {

std::vector<double> image_sample;
scripted_run_t game;

} // namespace

void start_scripted_game(std::uint8_t level)
{
    game = scripted_run_t{};
    game.setup.level = level;
    game.keys = builtin_key_script();
    run_start(&game);
}

void play_recorded_frame(std::int64_t number)
{
    frame = 0;
    play_raster_frame(number, key_after(game.keys, number));
}

void play_scripted_frames(std::uint8_t level, std::int64_t n)
{
    start_scripted_game(level);
    for (std::int64_t number = 1; number <= n; ++number) {
        frame = static_cast<std::int32_t>(n - number); // 0 only in the frame to record
        play_raster_frame(number, key_after(game.keys, number));
    }
}

const std::vector<double> &bench_image() { return image_sample; }

int main(int argc, char **argv)
{
    play_scripted_frames(3, BENCH_IMAGE_FRAME);
    image_sample.assign(std::begin(pixel), std::end(pixel));

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
