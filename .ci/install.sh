#!/usr/bin/env bash
# What `cmake --install` puts in place for a user, and the uninstall target
# that takes it away again: the four programs, the modules this build has,
# their manual pages and completions, README and LICENSE; afterwards nothing
# is left. The build's own install_manifest.txt is kept as it was.
set -euo pipefail
build=${1:-build/release}
prefix=$(mktemp -d)
manifest=$build/install_manifest.txt
saved=$(mktemp)
had_manifest=false
if [ -e "$manifest" ]; then
    cp "$manifest" "$saved"
    had_manifest=true
fi
restore() {
    if $had_manifest; then
        cp "$saved" "$manifest"
    else
        rm -f "$manifest"
    fi
    rm -rf "$prefix" "$saved"
}
trap restore EXIT
# Quiet when it works; what it said when it does not.
quietly() {
    local said
    if ! said=$("$@" 2>&1); then
        echo "$said" >&2
        echo "failed: $*" >&2
        return 1
    fi
}
quietly cmake --install "$build" --prefix "$prefix"
expected=(
    bin/pc-snake bin/snake-render bin/snake-play bin/wav-xy
    share/man/man1/pc-snake.1.gz share/man/man1/snake-render.1.gz
    share/man/man1/snake-play.1.gz share/man/man1/wav-xy.1.gz
    share/bash-completion/completions/pc-snake share/bash-completion/completions/snake-render
    share/bash-completion/completions/snake-play share/bash-completion/completions/wav-xy
    share/doc/pc-snake/README.md share/doc/pc-snake/LICENSE
)
libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:[A-Z]*=//p' "$build/CMakeCache.txt")
for module in "$build/$libdir"/pc-snake/modules/*.so; do
    if [ -e "$module" ]; then
        expected+=("$libdir/pc-snake/modules/$(basename "$module")")
    fi
done
for f in "${expected[@]}"; do
    if [ ! -s "$prefix/$f" ]; then
        echo "cmake --install put no $f in place" >&2
        exit 1
    fi
done
quietly cmake --build "$build" --target uninstall
left=$(find "$prefix" -type f -o -type l)
if [ -n "$left" ]; then
    echo "the uninstall target left: $left" >&2
    exit 1
fi
echo "install: ${#expected[@]} files installed, all removed again"
