#!/usr/bin/env bash
# Renews the pictures of README.md in docs/ from the programs of a build, on
# purpose: README's own examples write into the current folder instead.
#   tools/make-docs.sh [BUILD_DIR]     (default build/release)
# The page's screenshot (docs/web-page.png) comes from the web tests' setup
# and is not renewed here.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin=$(cd "${1:-$repo/build/release}" && pwd)/bin
docs=$repo/docs
for p in pc-snake snake-render snake-play wav-xy; do
    [[ -x $bin/$p ]] || { echo "make-docs: $bin/$p is missing; build first" >&2; exit 1; }
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

"$bin/snake-render" 3 300 -q --scale 2 -o "$docs/level3-frame300.png"
"$bin/snake-render" 1 1-420 -q --scale 2 --gif "$docs/level1.gif"
"$bin/snake-render" 4 1-700 -q --budget-svg "$docs/budget-level4.svg"
"$bin/snake-render" 3 300 -q --trace "$docs/trace-level3-frame300.png"
"$bin/snake-render" 3 290 -q --scale 2 -o "$docs/level3-frame290.png"
"$bin/snake-render" 3 290 -q --look tube --size 512 -o "$docs/level3-frame290-tube.png"
"$bin/snake-render" 3 1-400 -q --look tube --size 512 --video "$docs/level3-tube.mp4"
"$bin/snake-render" 3 300 -q --wav "$scratch/f.wav"
"$bin/wav-xy" "$scratch/f.wav" "$docs/scope-level3-frame300.png" 2
SDL_VIDEODRIVER=dummy "$bin/snake-play" --keys builtin --level 2 --frames 270 --fps 0 \
    --look exact --persistence 400 --screenshot "$docs/snake-play.png"
echo "make-docs: docs/ renewed from $bin"
