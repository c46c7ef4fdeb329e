// The image writers: the PPM text of a real frame, a frame as PNG in either
// look, and a whole game as an animated GIF.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/bench_game.h"
#include "host/image/frame_image.h"
#include "host/image/gif_writer.h"
#include "host/image/png_writer.h"
#include "host/image/ppm.h"
#include "host/tube/tube.h"

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

// Level 3, frame 400 on the tube at `size` pixels: the frames before it
// heard for their light, as snake-render makes it.
rgb_image_t tube_picture(int size)
{
    tube_settings_t settings;
    settings.size = size;
    tube_t tube(settings);
    const beam_listening_t listening(tube.listener());
    start_scripted_game(3);
    for (std::int64_t number = 1; number <= BENCH_IMAGE_FRAME; ++number)
        play_recorded_frame(number);
    return tube.picture();
}

// One frame as PNG: the exact look's (a few colours, 256 pixels), and the
// tube's (a smooth ramp of hundreds of colours) at 1024 pixels.
void BM_EncodePng(benchmark::State &state)
{
    const bool tube = state.range(0) != 0;
    const rgb_image_t image = tube ? tube_picture(1024) : frame_image(bench_image().data());
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::vector<std::uint8_t> png = encode_png(image);
        bytes = png.size();
        benchmark::DoNotOptimize(png.data());
    }
    state.counters["png_bytes"] = static_cast<double>(bytes);
    state.counters["pixels"] = static_cast<double>(image.width) * image.height;
}

BENCHMARK(BM_EncodePng)->ArgName("tube")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// An animation as a GIF: frames 1 to n of level 1, each recorded, turned into
// an RGB picture and added to one GIF, as an exporter of a whole game does.
void BM_GifFrames(benchmark::State &state)
{
    const std::int64_t n = state.range(0);
    std::size_t file_bytes = 0;
    for (auto _ : state) {
        memory_sink_t file;
        gif_writer_t gif(SCREEN_SIDE, SCREEN_SIDE, 2, memory_sink(&file));
        std::string error;
        start_scripted_game(1);
        for (std::int64_t number = 1; number <= n; ++number) {
            play_recorded_frame(number);
            if (!gif.add_frame(frame_image(bench_afterglow().pixel.data()), &error))
                state.SkipWithError(error.c_str());
        }
        if (!gif.finish(&error))
            state.SkipWithError(error.c_str());
        file_bytes = file.bytes.size();
    }
    state.SetItemsProcessed(state.iterations() * n); // items: frames
    state.counters["gif_bytes"] = static_cast<double>(file_bytes);
}

BENCHMARK(BM_GifFrames)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace
