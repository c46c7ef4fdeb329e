#!/usr/bin/env bash
# Installs the Debian packages that building and testing pc-snake need, and
# only those that are missing. Run as root (sudo) on Debian 12 or newer.
#   tools/install-deps.sh         build, tests and the programs
#   tools/install-deps.sh --ci    also what CI's deeper checks use
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config # CMake 3.25 or newer, g++ 12
    libgtest-dev libtinyxml2-dev     # GoogleTest; XML for reading the budget plot back
    libpng-dev libgif-dev            # PNG and GIF writers
    libcli11-dev                     # command lines of snake-render and snake-play
    libsdl2-dev                      # snake-play's window
    libbenchmark-dev                 # the benchmarks
)
if [[ ${1:-} == --ci ]]; then
    packages+=(clang libclang-rt-14-dev valgrind xvfb xauth)
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
