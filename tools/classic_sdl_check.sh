#!/usr/bin/env bash
# classic_sdl_check.sh: runs the headless suite (ctest without the real-window, soak and gamepad tests) once
# more against the classic SDL 1.2 library instead of the compatibility layer over SDL 2 that the build
# links, and checks that every replay's trace (draw log included) and every saved frame's pixels are the
# same with both libraries.
#
# The classic library comes from Debian's libsdl1.2debian, fetched with apt-get download and unpacked
# with dpkg-deb -x (nothing is installed), together with those of its dependencies that this machine
# lacks; it is put first on LD_LIBRARY_PATH. BUILD_DIR (default build/, built when missing) is the build
# to run; CLASSIC_SDL_DIR (default build-classic-sdl/) keeps the unpacked packages between runs.
set -euo pipefail

repo_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${BUILD_DIR:-$repo_dir/build}
classic_dir=${CLASSIC_SDL_DIR:-$repo_dir/build-classic-sdl}
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo

if [ ! -x "$build_dir/tools/replay/vorpaline-replay" ] || [ ! -x "$build_dir/tests/vorpaline_tests" ]; then
    BUILD_DIR=$build_dir bash -c "source '$repo_dir/tools/setup.sh' && install_missing_packages && configure_and_build"
fi

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# Fetches and unpacks a package and, one after another, those of its dependencies not installed here.
fetch_with_dependencies() {
    local queue=("$1") done=" " package
    mkdir -p "$classic_dir/debs" "$classic_dir/root"
    while [ ${#queue[@]} -gt 0 ]; do
        package=${queue[0]}
        queue=("${queue[@]:1}")
        [[ "$done" == *" $package "* ]] && continue
        done+="$package "
        if ! ls "$classic_dir/debs/${package}_"*.deb >/dev/null 2>&1; then
            (cd "$classic_dir/debs" && apt-get download "$package" 2>&1 | grep -v '^W: Download is performed unsandboxed' || true)
            ls "$classic_dir/debs/${package}_"*.deb >/dev/null 2>&1 || {
                echo "classic SDL: could not download $package"
                exit 1
            }
        fi
        dpkg-deb -x "$classic_dir/debs/${package}_"*.deb "$classic_dir/root"
        # First alternatives of the plain dependencies; virtual packages (<name>) are skipped.
        for dependency in $(apt-cache depends "$package" | awk '$1 == "Depends:" && $2 !~ /^</ { print $2 }'); do
            installed "$dependency" || queue+=("$dependency")
        done
    done
}

if [ -z "$(apt-cache policy libsdl1.2debian 2>/dev/null | awk '$1 == "Candidate:" && $2 != "(none)"')" ]; then
    $sudo apt-get update -qq
fi
fetch_with_dependencies libsdl1.2debian

lib_dir=$(dirname "$(find "$classic_dir/root" -name 'libSDL-1.2.so.0' | head -n 1)")
export_path=$lib_dir
for dir in $(find "$classic_dir/root" -name '*.so*' -printf '%h\n' | sort -u); do
    [ "$dir" = "$lib_dir" ] || export_path+=:$dir
done
classic() { LD_LIBRARY_PATH=$export_path${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH} "$@"; }

replay=$build_dir/tools/replay/vorpaline-replay
linked=$(classic ldd "$replay" | awk '$1 == "libSDL-1.2.so.0" { print $3 }')
[ "$(readlink -f "$linked")" = "$(readlink -f "$lib_dir/libSDL-1.2.so.0")" ] || {
    echo "classic SDL: the replay tool would load $linked, not the classic library"
    exit 1
}
missing=$(classic ldd "$replay" | grep 'not found' || true)
[ -z "$missing" ] || {
    echo "classic SDL: libraries not found: $missing"
    exit 1
}
echo "classic SDL: $(basename "$(readlink -f "$linked")") from $(basename "$classic_dir/debs/libsdl1.2debian_"*.deb)"

# The headless suite: its replays compare each trace with the golden trace made with the build's SDL.
# The gamepad tests are left out: the virtual pad they attach is SDL 2's, which only sdl12-compat sees.
suite=0
# The browser's soft blitter is held against the library the build links, whose clipping works in
# int and whose BMP writer differs from classic SDL's (16-bit clipping, header fields), and the gamepad
# tests need SDL 2's virtual joystick: neither is run against this library.
classic ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" -LE 'window|soak|gamepad' -E '^SoftSurfaceTest' || suite=$?

# The same replays with both libraries, side by side: traces and the pixels of saved frames.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The pixel rows of a saved 8-bit frame: everything from the header's pixel offset on.
pixels() { tail -c +$(($(od -An -t u4 -j 10 -N 4 "$1") + 1)) "$1"; }
compared=0
for script in "$repo_dir"/tests/replays/*.script; do
    name=$(basename "$script" .script)
    for library in build classic; do
        mkdir -p "$work/$library/$name"
        runner=()
        [ "$library" = classic ] && runner=(classic)
        (cd "$repo_dir/data" && "${runner[@]}" "$replay" "$script" "$work/$library/$name.trace" --draws \
            --bmp "$work/$library/$name" --every 30 >"$work/$library/$name.out")
    done
    cmp "$work/build/$name.trace" "$work/classic/$name.trace" || {
        echo "classic SDL: the traces of $name differ"
        exit 1
    }
    cmp "$work/build/$name.out" "$work/classic/$name.out" || {
        echo "classic SDL: the start-up output of $name differs"
        exit 1
    }
    frames=0
    for frame in "$work/build/$name"/*.bmp; do
        [ -e "$frame" ] || continue
        other=$work/classic/$name/$(basename "$frame")
        [ -f "$other" ] || {
            echo "classic SDL: $name saved no $(basename "$frame")"
            exit 1
        }
        cmp -s <(pixels "$frame") <(pixels "$other") || {
            echo "classic SDL: the pixels of $name/$(basename "$frame") differ"
            exit 1
        }
        frames=$((frames + 1))
    done
    [ "$(ls "$work/classic/$name" | wc -l)" -eq "$frames" ] || {
        echo "classic SDL: $name saved other frames"
        exit 1
    }
    echo "classic SDL: $name: the same trace and the same pixels in $frames frames"
    compared=$((compared + 1))
done
echo "classic SDL: $compared replays the same with both libraries"
[ "$suite" -eq 0 ] || {
    echo "classic SDL: the headless suite failed (above)"
    exit 1
}
