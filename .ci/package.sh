#!/usr/bin/env bash
# The Debian packages as a user gets them: made by CPack from the build
# folder; each holds exactly its files (dpkg-deb -c) and depends on what its
# own files need (dpkg-deb -f); unpacked, pc-snake alone runs everything but
# video and WAV, which say what is missing, and with the modules' packages
# those work too; lintian finds no error or warning (it also reads the
# manual pages as packaged, with man and lexgrog).
set -euo pipefail
build=${1:-build/release}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
    echo "package: $*" >&2
    exit 1
}

if ! said=$(cmake --build "$build" --target package 2>&1); then
    echo "$said" >&2
    fail "cmake --build $build --target package failed"
fi
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
deb() { echo "$build/packages/$1_${version}_${arch}.deb"; }

programs=(pc-snake snake-render snake-play wav-xy)
main_files=()
for p in "${programs[@]}"; do
    main_files+=("usr/bin/$p" "usr/share/man/man1/$p.1.gz" "usr/share/bash-completion/completions/$p")
done
main_files+=(usr/share/doc/pc-snake/README.md.gz)

# The files of a package (not its folders), sorted, against those expected
# (the copyright and changelog every package has are added here).
holds_exactly() {
    local package=$1
    shift
    local expected actual
    expected=$(printf '%s\n' "$@" "usr/share/doc/$package/copyright" \
        "usr/share/doc/$package/changelog.gz" | LC_ALL=C sort)
    actual=$(dpkg-deb -c "$(deb "$package")" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' |
        LC_ALL=C sort)
    if [ "$actual" != "$expected" ]; then
        diff <(echo "$expected") <(echo "$actual") >&2 || true
        fail "$package does not hold what it should (< expected, > found)"
    fi
}
holds_exactly pc-snake "${main_files[@]}"
holds_exactly pc-snake-video usr/lib/pc-snake/modules/video.so
holds_exactly pc-snake-wav usr/lib/pc-snake/modules/wav.so

# A field of a package's control file.
field() { dpkg-deb -f "$(deb "$1")" "$2"; }
depends=$(field pc-snake Depends)
[[ $depends == *libc6* ]] || fail "pc-snake depends on no libc6 (dpkg-shlibdeps not run?): $depends"
[[ $depends != *libav* && $depends != *libswscale* && $depends != *libsndfile* ]] ||
    fail "pc-snake itself depends on the modules' libraries: $depends"
[ "$(field pc-snake Recommends)" = "pc-snake-video, pc-snake-wav" ] ||
    fail "pc-snake recommends $(field pc-snake Recommends)"
[[ $(field pc-snake-video Depends) == *"pc-snake (= $version)"*libavcodec* ]] ||
    fail "pc-snake-video depends on $(field pc-snake-video Depends)"
[[ $(field pc-snake-wav Depends) == *"pc-snake (= $version)"*libsndfile1* ]] ||
    fail "pc-snake-wav depends on $(field pc-snake-wav Depends)"

# The changelog's newest entry is this version's.
for package in pc-snake pc-snake-video pc-snake-wav; do
    dpkg-deb --fsys-tarfile "$(deb "$package")" |
        tar -xO "./usr/share/doc/$package/changelog.gz" | gzip -dc | head -n 1 |
        grep -q "^pc-snake ($version) " || fail "$package's changelog does not begin with $version"
done

# The programs from the unpacked files, first of pc-snake alone.
root=$scratch/root
dpkg-deb -x "$(deb pc-snake)" "$root"
bin=$root/usr/bin
[ "$("$bin/pc-snake" 1 1 | head -c 2)" = P3 ] || fail "the packaged pc-snake prints no PPM"
"$bin/snake-render" 1 1-5 -q --gif "$scratch/a.gif" || fail "the packaged snake-render writes no GIF"
for output in --video=$scratch/a.mp4 --wav=$scratch/a.wav; do
    status=0
    said=$("$bin/snake-render" 1 1-5 -q "$output" 2>&1) || status=$?
    if [ "$status" != 1 ] || [[ $said != *"cannot load the module"* ]]; then
        fail "snake-render $output without its module: status $status, '$said'"
    fi
done
# man finds each page by the program's name where the package puts it.
for p in "${programs[@]}"; do
    [ "$(man -M "$root/usr/share/man" -w "$p")" = "$root/usr/share/man/man1/$p.1.gz" ] ||
        fail "man does not find $p(1) in the package"
done
dpkg-deb -x "$(deb pc-snake-video)" "$root"
dpkg-deb -x "$(deb pc-snake-wav)" "$root"
"$bin/snake-render" 1 1-5 -q --video "$scratch/a.mp4" || fail "no video with pc-snake-video"
"$bin/snake-render" 1 1-5 -q --wav "$scratch/a.wav" || fail "no WAV with pc-snake-wav"
"$bin/wav-xy" "$scratch/a.wav" "$scratch/xy.png" || fail "wav-xy reads no WAV with pc-snake-wav"

if command -v lintian >/dev/null; then
    said=$(lintian --fail-on error,warning \
        "$(deb pc-snake)" "$(deb pc-snake-video)" "$(deb pc-snake-wav)" 2>&1) || {
        echo "$said" >&2
        fail "lintian finds errors or warnings"
    }
elif [ "${CI:-}" = true ]; then
    fail "lintian is missing (tools/install-deps.sh --ci installs it)"
else
    echo "package: lintian is missing, not run" >&2
fi
echo "package: pc-snake, pc-snake-video, pc-snake-wav $version ($arch) hold and run what they should"
