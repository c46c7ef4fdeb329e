#!/usr/bin/env bash
# One frame of each level under memcheck; any error fails.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --build --preset release
for level in 1 2 3 4; do
    valgrind --quiet --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite,indirect \
        build/release/bin/pc-snake "$level" 1 >/dev/null
done
echo "valgrind: no errors at levels 1-4"
