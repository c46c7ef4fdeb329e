// The scripted game as the benchmarks play it: plain simulation, frame by
// frame on the beam raster, the way pc-snake plays frames it cannot skip.
#pragma once

#include <cstdint>
#include <vector>

#include "host/sim/afterglow.h"

// Plays frames 1 to n of the scripted game at `level`, frame n asked for
// (heard by the raster's listeners), the others not.
void play_scripted_frames(std::uint8_t level, std::int64_t n);

// Starts the scripted game at `level`; then each frame, numbered from 1 on,
// is played and asked for by play_recorded_frame.
void start_scripted_game(std::uint8_t level);
void play_recorded_frame(std::int64_t number);

// The afterglow of a real frame (level 3, frame BENCH_IMAGE_FRAME: walls, the
// obstacle, the risen "Game over!" text), taken before the benchmarks run.
inline constexpr std::int64_t BENCH_IMAGE_FRAME = 400;
const std::vector<double> &bench_image();

// An afterglow that listens while the benchmark driver runs: the frame last
// asked for.
const afterglow_t &bench_afterglow();
