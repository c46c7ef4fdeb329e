#!/usr/bin/env bash
# Builds the benchmarks (preset `bench`) and prints what a run of pc-snake
# costs: Google Benchmark's timings, the instructions per simulated frame and
# per image byte counted by callgrind, and the time a run of the program takes
# next to `cat` of the same bytes. Arguments go to the benchmark program,
# e.g. tools/bench.sh --benchmark_filter=WritePpm
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset bench >/dev/null
cmake --build --preset bench -j "${JOBS:-2}" >/dev/null
program=build/bench/bin/pc-snake
bench=build/bench/bench/pc_snake_bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)"

echo "== Google Benchmark"
"$bench" "$@"

# Instructions of a run (or of the functions matching $1 within it), as callgrind counts them.
instructions() {
    local toggle=$1
    shift
    valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" \
        ${toggle:+--toggle-collect="$toggle"} "$@" 2>&1 >/dev/null |
        sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}

echo "== callgrind"
one=$(instructions "" "$program" 1 1)
thousand=$(instructions "" "$program" 1 1000)
echo "pc-snake 1 1: $one instructions; pc-snake 1 1000: $thousand"
echo "per simulated frame: $(((thousand - one) / 999)) instructions"
one=$(instructions '*BM_ScriptedFrames*' "$bench" --benchmark_filter='ScriptedFrames/once/level:1/frames:1/')
thousand=$(instructions '*BM_ScriptedFrames*' "$bench" --benchmark_filter='ScriptedFrames/once/level:1/frames:1000/')
echo "the same in the benchmark's plain simulation: $(((thousand - one) / 999)) instructions per frame"
writer=$(instructions '*BM_WritePpm*' "$bench" --benchmark_filter='BM_WritePpm/once')
bytes=$("$bench" --benchmark_filter='BM_WritePpm/once' --benchmark_format=json |
    sed -n 's/.*"image_bytes": *\([0-9.e+]*\).*/\1/p' | awk '{ printf "%d", $1 }')
echo "write_ppm of a frame: $writer instructions for $bytes bytes," \
    "$(awk -v i="$writer" -v b="$bytes" 'BEGIN { printf "%.2f", i / b }') per byte"

echo "== time per run, mean of 100 runs: elapsed, and processor time (user + system)"
"$program" 1 1 >"$work/frame.ppm"
per_run() {
    local times
    times=$({ TIMEFORMAT='%R %U %S'; time (for _ in {1..100}; do "$@" >/dev/null; done); } 2>&1)
    awk -v t="$times" 'BEGIN { split(t, s, " "); printf "%.2f ms elapsed, %.2f ms processor", s[1] * 10, (s[2] + s[3]) * 10 }'
}
# The command with its standard output into the file $1, as `command > file` does.
into() {
    local file=$1
    shift
    "$@" >"$file"
}
render=build/bench/bin/snake-render
echo "pc-snake 1 1:    $(per_run "$program" 1 1)"
echo "pc-snake 1 1000: $(per_run "$program" 1 1000)"
echo "cat of its $(wc -c <"$work/frame.ppm") bytes: $(per_run cat "$work/frame.ppm")"
echo "/bin/true (starting a process): $(per_run /bin/true)"
echo "snake-render --version: $(per_run "$render" --version)"
echo "pc-snake 1 1 > f.ppm:      $(per_run into "$work/f.ppm" "$program" 1 1)"
echo "snake-render 1 1 -o f.ppm: $(per_run "$render" 1 1 -o "$work/f.ppm")"
# 5.64 s of sound: frames 1 to 1000 of level 1 at 192 kHz.
echo "snake-render 1 1-1000 --wav g.wav -q: $(per_run "$render" 1 1-1000 --wav "$work/g.wav" -q)"
