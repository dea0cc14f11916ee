#!/usr/bin/env bash
# installed_game_test.sh: installs the build into a fresh prefix, checks the installed tree, moves the
# prefix elsewhere, then starts the game the way a desktop does (the launcher "vorpaline" found on PATH,
# here through a symbolic link, from a folder with no data in it) in an X server of its own. The game must
# open its 640x480 window of class vorpaline, read the installed data, show the title, and on Escape exit
# 0 with "Quit krv...bye." as its last line.
#
#   installed_game_test.sh CMAKE BUILD_DIR DATA_DIR CHECKS_PY
set -euo pipefail

cmake_command=$1
build_dir=$2
source_data=$3
checks=$4

work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
    if [ -n "$game_pid" ]; then kill "$game_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [ -f "$work/game.out" ]; then
        echo "--- the game's output (last 20 lines) ---" >&2
        tail -n 20 "$work/game.out" >&2
    fi
    exit 1
}

# --- the installed tree ---
"$cmake_command" --install "$build_dir" --prefix "$work/first-prefix" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log" >&2; fail "cmake --install failed"; }
mv "$work/first-prefix" "$work/moved-prefix"
prefix=$work/moved-prefix

launcher=$prefix/bin/vorpaline
[ -x "$launcher" ] || fail "no executable launcher at bin/vorpaline"
[ "$(head -n 1 "$launcher")" = "#!/bin/sh" ] || fail "the launcher is not a POSIX sh script"
[ -x "$prefix/libexec/vorpaline/vorpaline" ] || fail "no game binary at libexec/vorpaline/vorpaline"

data=$prefix/share/vorpaline
sheets=()
while read -r name _; do
    [ -n "$name" ] && sheets+=("$name")
done <"$source_data/kvs.ini"
[ ${#sheets[@]} -gt 0 ] || fail "data/kvs.ini names no sheet"
for file in krv.ini krvcolor.ini icon.bmp font.bmp kvs.ini "${sheets[@]/%/.kvs}" "${sheets[@]/%/.bmp}"; do
    cmp -s "$source_data/$file" "$data/$file" || fail "share/vorpaline/$file is missing or differs from data/$file"
done

python3 "$checks" desktop "$prefix/share/applications/vorpaline.desktop" || fail "the desktop entry"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/vorpaline.desktop" || fail "desktop-file-validate"
else
    echo "desktop-file-validate (desktop-file-utils) is not installed: the desktop entry's syntax is checked by $checks alone"
fi
for edge in 32 64 128; do
    python3 "$checks" png "$source_data/icon.bmp" "$prefix/share/icons/hicolor/${edge}x${edge}/apps/vorpaline.png" \
        "$edge" || fail "the ${edge}x${edge} icon"
done

# --- the installed game, started as a desktop starts it ---
mkdir "$work/links" "$work/elsewhere"
ln -s "$launcher" "$work/links/vorpaline"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
DISPLAY=:$(head -n 1 "$work/display")
export DISPLAY
export SDL_AUDIODRIVER=dummy
unset SDL_VIDEODRIVER SDL12COMPAT_WINDOW_SCALING SDL12COMPAT_SCALE_METHOD

# Arguments given to the launcher must not reach the game.
(cd "$work/elsewhere" && PATH="$work/links:$PATH" exec vorpaline --an-argument another) >"$work/game.out" 2>&1 &
game_pid=$!

window=""
for _ in $(seq 200); do
    window=$(xdotool search --classname '^vorpaline$' 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break
    kill -0 "$game_pid" 2>/dev/null || fail "the launcher or the game ended before a window appeared"
    sleep 0.1
done
[ -n "$window" ] || fail "no window of class vorpaline appeared within 20 seconds"
xdotool search --class '^vorpaline$' | grep -qx "$window" || fail "the window's class is not vorpaline"
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/ *Geometry: //p')
[ "$geometry" = "640x480" ] || fail "the window is $geometry, not 640x480"

# The launcher replaced itself with the game: the started process is the game, in the data folder.
game_exe=$(readlink "/proc/$game_pid/exe") || fail "the game is gone"
[ "$game_exe" = "$(cd "$prefix/libexec/vorpaline" && pwd -P)/vorpaline" ] || fail "the started process runs $game_exe"
[ "$(readlink "/proc/$game_pid/cwd")" = "$(cd "$data" && pwd -P)" ] ||
    fail "the game runs in $(readlink "/proc/$game_pid/cwd"), not in the installed data folder"
arguments=$(tr '\0' '\n' <"/proc/$game_pid/cmdline" | wc -l)
[ "$arguments" -eq 1 ] || fail "the game was given arguments: $(tr '\0' ' ' <"/proc/$game_pid/cmdline")"

# The title comes up within a few frames; look until it is there.
shown=no
for _ in $(seq 50); do
    if xwd -id "$window" -silent >"$work/window.xwd" 2>/dev/null &&
        python3 "$checks" title "$work/window.xwd" >"$work/title.log" 2>&1; then
        shown=yes
        break
    fi
    sleep 0.2
done
[ "$shown" = yes ] || fail "the title was not shown: $(cat "$work/title.log")"

# Escape is read as held at a tick: hold it for several ticks.
xdotool windowfocus "$window" 2>/dev/null || true
xdotool keydown Escape
sleep 0.3
xdotool keyup Escape

for _ in $(seq 100); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$game_pid" 2>/dev/null && fail "the game did not quit on Escape"
status=0
wait "$game_pid" || status=$?
game_pid=""
[ "$status" -eq 0 ] || fail "the game exited $status"

out=$work/game.out
[ "$(tail -n 1 "$out")" = "Quit krv...bye." ] || fail "the last line is not \"Quit krv...bye.\""
# The data read was the installed data: the palette, the sheet list and every sheet's frame list.
for line in "Display Setting...640x480x8 Done." "Loading...krvcolor.ini" "Loading kvs.ini" "${sheets[@]/%/.kvs}"; do
    case $line in *.kvs) line="Loading $line" ;; esac
    grep -qxF -- "$line" "$out" || fail "no line \"$line\""
done
grep -q "can't open" "$out" && fail "the game could not open one of its files"
echo "installed game: tree, launcher from elsewhere, window, title and quit all as expected"
