#!/usr/bin/env bash
# Installs the Debian packages that building and testing pc-snake need, and
# only those that are missing. Run as root (sudo) on Debian 12 or newer.
#   tools/install-deps.sh         build, tests and the programs
#   tools/install-deps.sh --xvfb  also xvfb-run, for snake-play without a display
#   tools/install-deps.sh --ci    also what CI's deeper checks use (xvfb-run too)
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config # CMake 3.25 or newer, g++ 12
    make                             # g++ runs link-time optimisation's jobs in parallel by it
    libgtest-dev libtinyxml2-dev     # GoogleTest; XML for reading plots back
    libpng-dev libgif-dev            # PNG and GIF writers
    libcli11-dev                     # command lines of snake-render and snake-play
    libsdl2-dev                      # snake-play's window
    libsndfile1-dev                  # the beam as XY audio in a WAV file
    libavcodec-dev libavformat-dev   # snake-render --video (H.264, VP9) through FFmpeg
    libswscale-dev libavutil-dev
    ffmpeg                           # ffprobe and ffmpeg, which the tests decode videos with
    libbenchmark-dev                 # the benchmarks
)
xvfb=false
ci=false
for option in "$@"; do
    case $option in
    --xvfb) xvfb=true ;;
    --ci) ci=true; xvfb=true ;;
    *)
        echo "install-deps: unknown option $option (known: --xvfb, --ci)" >&2
        exit 1
        ;;
    esac
done
if $xvfb; then
    packages+=(xvfb xauth) # xvfb-run
fi
if $ci; then
    packages+=(clang libclang-rt-14-dev valgrind)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]} == 0)); then
    exit 0
fi
if ((EUID != 0)); then
    echo "install-deps: missing ${missing[*]}; run this script as root (sudo)" >&2
    exit 1
fi
echo "== installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends "${missing[@]}"
