#!/usr/bin/env bash
# g++ and clang++ (both -Werror) must print byte-identical images.
set -euo pipefail
cd "$(dirname "$0")/.."
source .ci/frames.sh

echo "== clang++ build and tests"
cmake --workflow --preset clang
cmake --build --preset release

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for level in 1 2 3 4; do
    for f in "${GAME_FRAMES[@]}"; do
        build/release/bin/pc-snake "$level" "$f" >"$out/gcc.ppm"
        build/clang/bin/pc-snake "$level" "$f" >"$out/clang.ppm"
        if ! cmp -s "$out/gcc.ppm" "$out/clang.ppm"; then
            echo "level $level frame $f: g++ and clang++ images differ" >&2
            exit 1
        fi
    done
done
for level in 1 2 3 4; do
    for build in release clang; do
        build/$build/bin/snake-render "$level" 1-1000/7 -q --gif "$out/$build.gif" --scale 2 \
            --budget "$out/$build.csv" --budget-svg "$out/$build.svg"
    done
    for f in gif csv svg; do
        if ! cmp -s "$out/release.$f" "$out/clang.$f"; then
            echo "level $level: g++ and clang++ snake-render .$f files differ" >&2
            exit 1
        fi
    done
done
echo "compilers: identical images at levels 1-4, ${#GAME_FRAMES[@]} frames each"
