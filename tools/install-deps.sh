#!/usr/bin/env bash
# Installs the Debian packages that building and testing pc-snake need, and
# only those that are missing. Run as root (sudo) on Debian 12 or newer.
set -euo pipefail

usage() {
    cat <<'TEXT'
Usage: tools/install-deps.sh [--xvfb] [--web] [--ci] [--help]
Installs the Debian packages pc-snake needs that are missing (as root).
  (no option)  build, tests and the programs
  --xvfb       also xvfb-run, for snake-play without a display
  --web        also the web build (clang-14 for wasm32-wasi) and its browser
               tests (chromium, firefox-esr; node and npm where missing)
  --ci         also what CI's deeper checks use; implies --xvfb and --web
  --help       this text
TEXT
}

packages=(
    cmake ninja-build g++ pkg-config # CMake 3.25 or newer, g++ 12
    make                             # g++ runs link-time optimisation's jobs in parallel by it
    libgtest-dev libtinyxml2-dev     # GoogleTest; XML for reading plots back
    libpng-dev libgif-dev            # PNG and GIF writers
    libcli11-dev                     # command lines of snake-render and snake-play
    libsdl2-dev                      # snake-play's window
    libsndfile1-dev                  # the beam as XY audio in a WAV file
    libavcodec-dev libavformat-dev   # snake-render --video (H.264, VP9) through FFmpeg;
    libswscale-dev libavutil-dev     # the tests decode the videos with them too
    libbenchmark-dev                 # the benchmarks
    scdoc                            # the manual pages, written from their sources
    man-db                           # man and lexgrog, which the tests read the pages with
    dpkg-dev file                    # the Debian package: dpkg-shlibdeps, and file, by which CPack runs it
)
xvfb=false
web=false
ci=false
for option in "$@"; do
    case $option in
    --xvfb) xvfb=true ;;
    --web) web=true ;;
    --ci) ci=true; xvfb=true; web=true ;;
    -h | --help)
        usage
        exit 0
        ;;
    *)
        echo "install-deps: unknown option $option" >&2
        usage >&2
        exit 1
        ;;
    esac
done
if $xvfb; then
    packages+=(xvfb xauth) # xvfb-run
fi
if $web; then
    packages+=(
        clang-14 lld-14 llvm-14              # the compiler, wasm-ld, llvm-ar for wasm archives
        wasi-libc libc++-14-dev-wasm32       # the C and C++ libraries of wasm32-wasi
        libc++abi-14-dev-wasm32 libclang-rt-14-dev-wasm32
        chromium                             # the browser the page's tests drive
        firefox-esr                          # one headless screenshot of the page
    )
    # Node 20 may come from elsewhere than Debian; Debian's only where there is none.
    command -v node >/dev/null || packages+=(nodejs)
    command -v npm >/dev/null || packages+=(npm)
fi
if $ci; then
    packages+=(clang libclang-rt-14-dev valgrind lintian)
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
