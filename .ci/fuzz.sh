#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, ASan and UBSan, replays the saved
# regression inputs, then fuzzes each target for a bounded time on a scratch
# copy of its seed corpus. Fails if any target finds a crash, leak, timeout,
# out-of-memory or sanitizer report.
#
#   .ci/fuzz.sh [BUILD_DIR]        (default build/fuzz)
#   FUZZ_SECONDS   time per target (default 60)
#   FUZZ_JOBS      build parallelism (default 2)
#   CC, CXX        must be clang; default clang and clang++
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"

build=${1:-build/fuzz}
seconds=${FUZZ_SECONDS:-60}
jobs=${FUZZ_JOBS:-2}
targets=(fuzz_stroker fuzz_args fuzz_game fuzz_keys fuzz_render)

case $seconds in
'' | *[!0-9]*) echo "fuzz.sh: FUZZ_SECONDS must be a whole number, not '$seconds'" >&2; exit 2 ;;
esac

CC=${CC:-clang} CXX=${CXX:-clang++} cmake -S "$repo" -B "$build" -G Ninja \
  -DPC_SNAKE_FUZZERS=ON -DPC_SNAKE_TESTS=OFF -DPC_SNAKE_WERROR=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
# snake-play's command line is there only where SDL2 is.
if cmake --build "$build" --target help | grep -q '^fuzz_play:'; then
  targets+=(fuzz_play)
else
  echo "fuzz.sh: no SDL2 (libsdl2-dev), so no snake-play: fuzz_play is left out" >&2
fi
cmake --build "$build" -j "$jobs" --target "${targets[@]}"

build=$(cd "$build" && pwd)
# Findings stay in the build folder so that CI can keep them.
findings="$build/fuzz-findings"
rm -rf "$findings"
mkdir -p "$findings"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:symbolize=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:abort_on_error=1:print_stacktrace=1}

# A sanitizer that reported without stopping the run still counts.
reported() {
  grep -qE '^(==[0-9]+==ERROR|SUMMARY: (Address|Undefined|Leak)Sanitizer)|runtime error:|^INFO: libFuzzer: (timeout|out-of-memory)|deadly signal' "$1"
}

status=0
summary=()
for t in "${targets[@]}"; do
  bin="$build/fuzz/$t"
  log="$findings/$t.log"

  # Inputs that once broke a target must keep passing.
  regressions=()
  if [[ -d fuzz/regressions/$t ]]; then
    while IFS= read -r -d '' f; do regressions+=("$f"); done \
      < <(find "fuzz/regressions/$t" -type f -print0 | sort -z)
  fi
  if ((${#regressions[@]})); then
    if ! "$bin" -timeout=10 -rss_limit_mb=2048 "${regressions[@]}" >"$findings/$t.regressions.log" 2>&1 ||
       reported "$findings/$t.regressions.log"; then
      summary+=("$t: FAILED on a saved regression input, see $findings/$t.regressions.log")
      status=1
      continue
    fi
  fi

  corpus="$scratch/$t"
  mkdir -p "$corpus"
  if [[ -d fuzz/corpus/$t ]]; then
    cp -R "fuzz/corpus/$t/." "$corpus/"
  fi

  rc=0
  "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$findings/$t-" "$corpus" >"$log" 2>&1 || rc=$?

  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  cov=$(grep -oE 'cov: [0-9]+' "$log" | tail -n 1 | cut -d' ' -f2 || true)
  files=$(find "$corpus" -type f | wc -l)
  if ((rc != 0)) || reported "$log"; then
    artifact=$(find "$findings" -maxdepth 1 -type f -name "$t-*" | head -n 1)
    summary+=("$t: FAILED (exit $rc) after ${runs:-?} runs; input ${artifact:-none saved}; log $log")
    status=1
  else
    summary+=("$t: ok, ${runs:-?} runs in ${seconds}s (${speed:-?}/s), coverage ${cov:-?}, corpus $files files")
  fi
done

echo
echo "fuzz summary:"
printf '  %s\n' "${summary[@]}"
exit "$status"
