// The beam as XY audio: frames 1 to 1000 of level 1 as one WAV file at
// 192 kHz, about 5.6 s of sound, made by snake-render's own render job and
// written to a new file. The counter x_real_time is seconds of sound per
// second.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "host/keys/stimuli.h"
#include "host/render/render.h"

namespace {

void BM_WavFrames(benchmark::State &state)
{
    const std::string path =
        (std::filesystem::temp_directory_path() / "pc_snake_bench_frames.wav").string();
    render_job_t job;
    job.keys = builtin_key_script();
    job.frames = {1, state.range(0), 1};
    job.wav.path = path;
    std::uintmax_t file_bytes = 0;
    for (auto _ : state) {
        const render_end_t end = render(job);
        if (beam_faulted(end.fault) || !end.write_error.empty())
            state.SkipWithError("the WAV could not be made");
        // A new file each time: replacing the last one would time its removal too.
        state.PauseTiming();
        file_bytes = std::filesystem::file_size(path);
        std::filesystem::remove(path);
        state.ResumeTiming();
    }
    // 8 bytes a sample (X and Y as floats) after a header of well under 100.
    const double seconds =
        static_cast<double>(file_bytes / 8) / static_cast<double>(job.wav.signal.rate);
    state.counters["audio_s"] = seconds;
    state.counters["x_real_time"] = benchmark::Counter(
        seconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_WavFrames)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
