// The cost of a simulated frame: a game started and played for N frames,
// the last one recorded. Time per frame is the time per iteration over N;
// N = 1 is mostly the start and the clearing of the afterglow buffer.
#include <benchmark/benchmark.h>

#include "bench/bench_game.h"

namespace {

void BM_ScriptedFrames(benchmark::State &state)
{
    const auto level = static_cast<std::uint8_t>(state.range(0));
    const std::int64_t n = state.range(1);
    for (auto _ : state)
        play_scripted_frames(level, n);
    state.SetItemsProcessed(state.iterations() * n); // items: frames
}

BENCHMARK(BM_ScriptedFrames)
    ->ArgNames({"level", "frames"})
    ->ArgsProduct({{1, 3}, {1, 1000}})
    ->Unit(benchmark::kMicrosecond);
// One run each, for counting instructions under callgrind: frames that are
// always simulated, whatever shortcuts pc-snake takes to far frames.
BENCHMARK(BM_ScriptedFrames)
    ->Name("BM_ScriptedFrames/once")
    ->ArgNames({"level", "frames"})
    ->ArgsProduct({{1}, {1, 1000}})
    ->Iterations(1);

} // namespace
