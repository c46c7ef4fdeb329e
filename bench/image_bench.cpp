// The image writer on a real frame: bytes per second of PPM text.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_game.h"
#include "host/ppm.h"

namespace {

void BM_WritePpm(benchmark::State &state)
{
    const double *image = bench_image().data();
    std::string out;
    for (auto _ : state) {
        out.clear();
        write_ppm(image, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(out.size()));
    state.counters["image_bytes"] = static_cast<double>(out.size());
}

BENCHMARK(BM_WritePpm)->Unit(benchmark::kMicrosecond);
// One write and nothing else, for counting its instructions under callgrind.
BENCHMARK(BM_WritePpm)->Name("BM_WritePpm/once")->Iterations(1);

} // namespace
