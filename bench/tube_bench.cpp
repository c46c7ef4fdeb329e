// The tube look's cost: one frame of the game lit into the phosphor and
// made into its picture, at the size of snake-play's window and larger; a
// stretch of the game as a tube-look MP4, as snake-render --video makes it;
// and a frame far into the game with the longest light the options allow.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_game.h"
#include "host/keys/stimuli.h"
#include "host/render/render.h"
#include "host/sim/beam_raster.h"
#include "host/tube/tube.h"
#include "host/video/video_writer.h"

namespace {

// The beam ticks of one frame as the raster hands them out.
std::vector<beam_tick_t> frame_ticks(std::uint8_t level, std::int64_t number)
{
    std::vector<beam_tick_t> ticks;
    beam_listening_t listening({&ticks, [](void *out, const beam_tick_t &t) {
                                    static_cast<std::vector<beam_tick_t> *>(out)->push_back(t);
                                }});
    play_scripted_frames(level, number);
    return ticks;
}

// One frame's ticks heard by the tube, as a frame of its own.
void hear_frame(tube_t *tube, const std::vector<beam_tick_t> &ticks)
{
    tube->begin_frame();
    for (const beam_tick_t &t : ticks)
        tube->hear(t);
    tube->end_frame(static_cast<int>(ticks.size()));
}

// Level 3, frame 400: walls, the obstacle and the risen "Game over!" text,
// on a phosphor that still glows with the frames before.
void BM_TubeFrame(benchmark::State &state)
{
    tube_settings_t settings;
    settings.size = static_cast<int>(state.range(0));
    tube_t tube(settings);
    const std::vector<beam_tick_t> ticks = frame_ticks(3, BENCH_IMAGE_FRAME);
    for (int warm = 0; warm < 50; ++warm)
        hear_frame(&tube, ticks);
    for (auto _ : state) {
        hear_frame(&tube, ticks);
        rgb_image_t picture = tube.picture();
        benchmark::DoNotOptimize(picture.rgb.data());
    }
    state.counters["ticks"] = static_cast<double>(ticks.size());
}

BENCHMARK(BM_TubeFrame)
    ->ArgName("size")
    ->Arg(512)
    ->Arg(1024)
    ->Arg(2048)
    ->Unit(benchmark::kMillisecond);

// Frames 1 to n of level 1 in the tube look at 512 x 512, into an MP4.
void BM_TubeVideo(benchmark::State &state)
{
    const std::int64_t n = state.range(0);
    tube_settings_t settings;
    settings.size = 512;
    std::size_t bytes = 0;
    for (auto _ : state) {
        tube_t tube(settings);
        beam_listening_t listening(tube.listener());
        // An unnamed file, as a render writes into.
        fd_sink_t file{::open("/tmp", O_TMPFILE | O_RDWR, 0600), 0, 0};
        video_writer_t video(video_kind_t::mp4, settings.size, settings.size, 50, 20, &file, true);
        start_scripted_game(1);
        for (std::int64_t number = 1; number <= n; ++number) {
            play_recorded_frame(number);
            video.add_frame(tube.picture());
        }
        video.finish();
        bytes = static_cast<std::size_t>(::lseek(file.fd, 0, SEEK_END));
        ::close(file.fd);
    }
    state.SetItemsProcessed(state.iterations() * n); // items: frames
    state.counters["mp4_bytes"] = static_cast<double>(bytes);
}

BENCHMARK(BM_TubeVideo)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(1);

// snake-render 3 N --look tube --size 2048 --focus 4 --persistence 10000
// --tick-rate 1000000 -o FILE.png: the light of frames N far into the game
// from the frames into its cycle and one period, the rest leapt over.
void BM_TubeFarFrame(benchmark::State &state)
{
    const std::string path =
        (std::filesystem::temp_directory_path() / "pc_snake_bench_far.png").string();
    render_job_t job;
    job.setup.level = 3;
    job.keys = builtin_key_script();
    job.frames = {state.range(0), state.range(0), 1};
    job.picture.look = look_t::tube;
    job.picture.tube.size = 2048;
    job.picture.tube.focus = TUBE_FOCUS_MAX;
    job.picture.tube.persistence_ms = TUBE_PERSISTENCE_MAX_MS;
    job.picture.tube.tick_rate = BEAM_TICK_RATE_MAX;
    job.files.output = path;
    for (auto _ : state) {
        const render_end_t end = render(job);
        if (!end.write_error.empty())
            state.SkipWithError(end.write_error.c_str());
    }
    std::remove(path.c_str());
}

BENCHMARK(BM_TubeFarFrame)
    ->ArgName("frame")
    ->Arg(30000)
    ->Arg(2147483647)
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

} // namespace
