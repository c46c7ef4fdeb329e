#!/usr/bin/env bash
# Builds the page (cmake --workflow --preset web: the module as WebAssembly
# and the static site in build/web/site) and runs its browser tests.
# Where something is missing it says what and how to install it, and skips
# what cannot run; with CI=true a missing piece is an error instead.
set -euo pipefail
cd "$(dirname "$0")/.."

toolchain=(clang-14 lld-14 llvm-14 wasi-libc libc++-14-dev-wasm32 libc++abi-14-dev-wasm32
    libclang-rt-14-dev-wasm32)
browsers=(chromium firefox-esr)

missing_packages=()
for p in "${toolchain[@]}" "${browsers[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing_packages+=("$p")
done
for tool in node npm; do
    command -v "$tool" >/dev/null || missing_packages+=("$tool")
done
missing_modules=false
[ -d web/node_modules/puppeteer-core ] || missing_modules=true

complaints=()
if ((${#missing_packages[@]} > 0)); then
    complaints+=("missing ${missing_packages[*]}: sudo tools/install-deps.sh --web")
fi
if $missing_modules; then
    complaints+=("missing puppeteer-core in web/node_modules: npm ci --prefix web")
fi
for complaint in "${complaints[@]}"; do
    echo "web-test: $complaint" >&2
done
if ((${#complaints[@]} > 0)) && [ "${CI:-}" = true ]; then
    echo "web-test: CI runs every web test; install what is missing" >&2
    exit 1
fi

# Without the compiler or node nothing can be built or run.
for p in "${toolchain[@]}" node; do
    if [[ " ${missing_packages[*]} " == *" $p "* ]]; then
        echo "web-test: skipped: the web build needs $p" >&2
        exit 0
    fi
done
if ((${#complaints[@]} > 0)); then
    echo "web-test: the tests that need what is missing are skipped" >&2
fi
cmake --workflow --preset web
