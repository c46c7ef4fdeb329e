#!/usr/bin/env bash
# The test suite and pc-snake at every level under ASan and UBSan; any finding fails.
set -euo pipefail
cd "$(dirname "$0")/.."
source .ci/frames.sh

echo "== test suite under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --workflow --preset asan

export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
for level in 1 2 3 4; do
    for f in "${GAME_FRAMES[@]}"; do
        if ! build/asan/bin/pc-snake "$level" "$f" >/dev/null; then
            echo "pc-snake $level $f failed under the sanitizers" >&2
            exit 1
        fi
    done
done
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for level in 1 2 3 4; do
    if ! build/asan/bin/snake-render "$level" 1-700/3 -q --gif "$out/g.gif" --png-dir "$out" \
        --scale 2 --budget "$out/b.csv" --budget-svg "$out/b.svg"; then
        echo "snake-render at level $level failed under the sanitizers" >&2
        exit 1
    fi
done
echo "sanitizers: pc-snake clean at levels 1-4, ${#GAME_FRAMES[@]} frames each; snake-render clean"
