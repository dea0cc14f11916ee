#!/usr/bin/env bash
# installed_game_test.sh: installs the build into a fresh prefix, checks the installed tree and the
# launcher's options, then plays the installed game the way a desktop starts it (the launcher
# "vorpaline" found on PATH, here through a symbolic link, from a folder with no data in it) in an X
# server of its own, as two players with homes of their own:
# - the first start makes the player's krv.ini from the installed default and runs the game in the
#   player's run folder, which links the installed data; the window is 640x480, of class vorpaline, and
#   shows the title; Escape quits with "Quit krv...bye." last;
# - the player's "krv_showfps = 1" shows in the next start's listing; moving the installed tree and
#   installing again over it (an upgrade) keeps the player's file, and the run folder follows the tree;
# - the second player, with XDG folders of their own, starts from the defaults;
# - the picture scaled by SDL12COMPAT_WINDOW_SCALING is sharp, unless the player asks for smoothing;
# - a setting the player broke gives the game's own message;
# - nothing but the launcher writes, and it writes only under the players' folders.
#
#   installed_game_test.sh CMAKE BUILD_DIR DATA_DIR CHECKS_PY VERSION REPLAY
set -euo pipefail

cmake_command=$1
build_dir=$2
source_data=$3
checks=$4
version=$5
replay=$6

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

last_output=""
fail() {
    echo "FAIL: $*" >&2
    if [ -n "$last_output" ] && [ -f "$last_output" ]; then
        echo "--- the last start's output (last 20 lines) ---" >&2
        tail -n 20 "$last_output" >&2
    fi
    exit 1
}

install_tree() {
    "$cmake_command" --install "$build_dir" --prefix "$1" >"$work/install.log" 2>&1 ||
        { cat "$work/install.log" >&2; fail "cmake --install failed"; }
}

# --- the installed tree ---
install_tree "$work/first-prefix"
prefix=$work/first-prefix
launcher=$prefix/games/vorpaline
[ -x "$launcher" ] || fail "no executable launcher at games/vorpaline"
[ "$(head -n 1 "$launcher")" = "#!/bin/sh" ] || fail "the launcher is not a POSIX sh script"
[ -x "$prefix/libexec/vorpaline/vorpaline" ] || fail "no game binary at libexec/vorpaline/vorpaline"

data=$prefix/share/games/vorpaline
# The sheets the game loads from data/, as its start-up listing names them ("Loading NAME.kvs").
mapfile -t sheets < <(cd "$source_data" && "$replay" /dev/null /dev/null | sed -n 's/^.*Loading \(.*\)\.kvs$/\1/p')
[ ${#sheets[@]} -gt 0 ] || fail "the game loads no sheet from data/"
data_files=(krv.ini krvcolor.ini icon.bmp font.bmp kvs.ini "${sheets[@]/%/.kvs}" "${sheets[@]/%/.bmp}")
for file in "${data_files[@]}"; do
    cmp -s "$source_data/$file" "$data/$file" || fail "share/games/vorpaline/$file is missing or differs from data/$file"
done

python3 "$checks" desktop "$prefix/share/applications/vorpaline.desktop" || fail "the desktop entry"
for edge in 32 64 128; do
    python3 "$checks" png "$source_data/icon.bmp" "$prefix/share/icons/hicolor/${edge}x${edge}/apps/vorpaline.png" \
        "$edge" || fail "the ${edge}x${edge} icon"
done
for file in share/man/man6/vorpaline.6.gz share/doc/vorpaline/copyright share/doc/vorpaline/changelog.gz \
    share/metainfo/io.github.vorpaline.vorpaline.metainfo.xml; do
    [ -s "$prefix/$file" ] || fail "no $file"
done
gzip -dc "$prefix/share/man/man6/vorpaline.6.gz" | grep -q '^\.TH VORPALINE 6 .*"vorpaline '"$version"'"' ||
    fail "the manual page does not name version $version"

# --- the launcher's options: they start nothing and write nothing ---
mkdir "$work/links" "$work/elsewhere" "$work/nobody"
ln -s "$launcher" "$work/links/vorpaline"
# The launcher as a desktop finds it, from a folder without data, with the environment given. It
# replaces the shell it runs in: run it in a subshell, or in the background.
launch() {
    cd "$work/elsewhere"
    exec env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u SDL12COMPAT_WINDOW_SCALING -u SDL12COMPAT_SCALE_METHOD \
        PATH="$work/links:$PATH" "$@"
}

status=0
(launch HOME="$work/nobody" vorpaline --version) >"$work/version.out" 2>&1 || status=$?
[ "$status" -eq 0 ] && [ "$(cat "$work/version.out")" = "vorpaline $version" ] ||
    fail "--version gave status $status and \"$(cat "$work/version.out")\", not \"vorpaline $version\""
status=0
(launch HOME="$work/nobody" vorpaline --help) >"$work/help.out" 2>"$work/help.err" || status=$?
[ "$status" -eq 0 ] && [ ! -s "$work/help.err" ] || fail "--help gave status $status: $(cat "$work/help.err")"
for wanted in "Settings: $work/nobody/.config/vorpaline/krv.ini" "krv_fullscreen = 0" "krv_showfps = 0" \
    '"krv_fullscreen=0" is not read' "Escape" "hold to fly faster" "SDL12COMPAT_WINDOW_SCALING=2"; do
    grep -qF -- "$wanted" "$work/help.out" || fail "--help does not say \"$wanted\""
done
refused() {
    local status=0
    (launch HOME="$work/nobody" vorpaline "$@") >"$work/refused.out" 2>"$work/refused.err" || status=$?
    [ "$status" -eq 2 ] || fail "the arguments ($*) gave status $status, not 2"
    [ ! -s "$work/refused.out" ] && [ "$(wc -l <"$work/refused.err")" -eq 1 ] ||
        fail "the arguments ($*) were not refused with one line: $(cat "$work/refused.out" "$work/refused.err")"
}
refused --an-argument
refused --help another
refused --version --help
refused -h
refused ""
[ -z "$(ls -A "$work/nobody")" ] || fail "the launcher's options wrote into the home folder: $(ls -A "$work/nobody")"

# --- the installed game, played ---
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
DISPLAY=:$(head -n 1 "$work/display")
export DISPLAY SDL_AUDIODRIVER=dummy
unset SDL_VIDEODRIVER

# The installed tree and the folders the game is started from, to be compared after the starts.
tree_state() {
    (cd "$work" && find "${prefix##*/}" links elsewhere -printf '%p %y %s %m %T@ %l\n' | sort &&
        find "${prefix##*/}" -type f -exec sha256sum {} + | sort)
}

# play NAME FACTOR PICTURE ENV...: starts the game through the launcher with the environment given,
# checks its window (640x480 times FACTOR, class vorpaline, named vorpaline) and its title, drawn sharp
# (PICTURE "sharp") or either way ("smoothed": sharp, or with the blended blocks of a smoothed title), notes its working
# folder and environment, quits with Escape and checks a clean exit. The output is in $work/NAME.out.
play() {
    local name=$1 factor=$2 picture=$3
    shift 3
    last_output=$work/$name.out
    launch "$@" vorpaline >"$last_output" 2>&1 &
    game_pid=$!
    # SDL may map a first window and replace it while it sets the video mode: the game's window is the
    # one that shows the title.
    local window="" shown=no deadline=$((SECONDS + 30))
    while [ $SECONDS -lt $deadline ]; do
        kill -0 "$game_pid" 2>/dev/null || fail "$name: the launcher or the game ended before the title was shown"
        window=$(xdotool search --classname '^vorpaline$' 2>/dev/null | head -n 1) || true
        if [ -n "$window" ] && xwd -id "$window" -silent >"$work/window.xwd" 2>/dev/null; then
            # With the player's own scale method the picture is SDL's renderer's business (under load on
            # Xvfb it was seen to draw 'linear' sharp): what is ours is that the launcher leaves the
            # player's choice in place, checked in the game's environment below.
            if python3 "$checks" title "$work/window.xwd" "$factor" >"$work/title.log" 2>&1; then
                shown=yes
            elif [ "$picture" = smoothed ] && grep -q 'not sharp' "$work/title.log"; then
                shown=yes
            fi
            [ "$shown" = yes ] && break
        fi
        sleep 0.1
    done
    [ "$shown" = yes ] || fail "$name: within 30 seconds no window of class vorpaline showed the title $picture: \
$(cat "$work/title.log" 2>/dev/null)"
    xdotool search --class '^vorpaline$' | grep -qx "$window" || fail "$name: the window's class is not vorpaline"
    [ "$(xdotool getwindowname "$window")" = vorpaline ] || fail "$name: the window is not named vorpaline"
    local geometry
    geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/ *Geometry: //p')
    [ "$geometry" = "$((640 * factor))x$((480 * factor))" ] || fail "$name: the window is $geometry"

    # The launcher replaced itself with the game, which runs without arguments in the player's run folder.
    local game_exe
    game_exe=$(readlink "/proc/$game_pid/exe") || fail "$name: the game is gone"
    [ "$game_exe" = "$(cd "$prefix/libexec/vorpaline" && pwd -P)/vorpaline" ] || fail "$name: the started process runs $game_exe"
    readlink "/proc/$game_pid/cwd" >"$work/$name.cwd"
    tr '\0' '\n' <"/proc/$game_pid/environ" >"$work/$name.environ"
    [ "$(tr '\0' '\n' <"/proc/$game_pid/cmdline" | wc -l)" -eq 1 ] ||
        fail "$name: the game was given arguments: $(tr '\0' ' ' <"/proc/$game_pid/cmdline")"

    # Escape is read as held at a tick: hold it for several ticks.
    xdotool windowfocus "$window" 2>/dev/null || true
    xdotool keydown Escape
    sleep 0.3
    xdotool keyup Escape
    for _ in $(seq 100); do
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$game_pid" 2>/dev/null && fail "$name: the game did not quit on Escape"
    local status=0
    wait "$game_pid" || status=$?
    game_pid=""
    [ "$status" -eq 0 ] || fail "$name: the game exited $status"
    [ "$(tail -n 1 "$last_output")" = "Quit krv...bye." ] || fail "$name: the last line is not \"Quit krv...bye.\""
    grep -q "can't open" "$last_output" && fail "$name: the game could not open one of its files"
    # The X server closes the window after the game is gone; the next start must not find it.
    for _ in $(seq 100); do
        [ -z "$(xdotool search --classname '^vorpaline$' 2>/dev/null)" ] && return 0
        sleep 0.1
    done
    fail "$name: the game's window outlived it"
}

# The run folder holds a link to each installed data file (krv.ini: to the player's file), and nothing else.
check_run_folder() {
    local name=$1 run=$2 settings=$3 file
    [ "$(cat "$work/$name.cwd")" = "$(cd "$run" && pwd -P)" ] || fail "$name: the game ran in $(cat "$work/$name.cwd"), not in $run"
    for file in "${data_files[@]}"; do
        local target=$data/$file
        [ "$file" = krv.ini ] && target=$settings
        [ -L "$run/$file" ] && [ "$(readlink "$run/$file")" = "$target" ] ||
            fail "$name: run/$file is not a link to $target"
    done
    [ "$(ls -A "$run" | wc -l)" -eq ${#data_files[@]} ] || fail "$name: the run folder holds other files: $(ls -A "$run")"
}

# The game's listing: the player's settings, and the installed palette, sheet list and sheets.
check_listing() {
    local name=$1 fps=$2 line
    for line in "setting...Window mode" "setting...$fps" "Display Setting...640x480x8 Done." "Loading...krvcolor.ini" \
        "Loading kvs.ini" "${sheets[@]/%/.kvs}"; do
        case $line in *.kvs) line="Loading $line" ;; esac
        grep -qxF -- "$line" "$work/$name.out" || fail "$name: no line \"$line\""
    done
    if [ "$fps" = "don't show FPS" ] && grep -qxF "setting...show FPS" "$work/$name.out"; then
        fail "$name: the counter was switched on"
    fi
}

first_home=$work/home-1
first_settings=$first_home/.config/vorpaline/krv.ini
first_run=$first_home/.cache/vorpaline/run
mkdir "$first_home"

# A first start, then the tree moved and started again: the run folder follows it.
play first-start 1 sharp HOME="$first_home"
cmp -s "$first_settings" "$data/krv.ini" || fail "the first start did not copy the default settings to $first_settings"
check_run_folder first-start "$first_run" "$first_settings"
check_listing first-start "don't show FPS"
grep -qx 'SDL12COMPAT_SCALE_METHOD=nearest' "$work/first-start.environ" || fail "the launcher did not ask for sharp scaling"

mv "$work/first-prefix" "$work/moved-prefix"
prefix=$work/moved-prefix
data=$prefix/share/games/vorpaline
ln -sfn "$prefix/games/vorpaline" "$work/links/vorpaline"
ln -s "$data/kvs.ini" "$first_run/left-over.kvs" # as an older version might have left
printf 'krv_fullscreen = 0\nkrv_showfps = 1\n' >"$first_settings"
play showfps 1 sharp HOME="$first_home"
check_run_folder showfps "$first_run" "$first_settings"
check_listing showfps "show FPS"

# An upgrade: installed again over the tree. The player's settings stay.
install_tree "$prefix"
before=$(tree_state)
play upgraded 1 sharp HOME="$first_home"
[ "$(cat "$first_settings")" = $'krv_fullscreen = 0\nkrv_showfps = 1' ] || fail "installing again changed $first_settings"
check_listing upgraded "show FPS"

# A second player, with XDG folders of their own: the defaults, and the first player's file untouched.
second_home=$work/home-2
second_settings=$second_home/config/vorpaline/krv.ini
mkdir "$second_home"
play second-player 1 sharp HOME="$second_home" XDG_CONFIG_HOME="$second_home/config" XDG_CACHE_HOME="$second_home/cache"
cmp -s "$second_settings" "$data/krv.ini" || fail "the second player's settings are not the defaults"
check_run_folder second-player "$second_home/cache/vorpaline/run" "$second_settings"
check_listing second-player "don't show FPS"
[ "$(cat "$first_settings")" = $'krv_fullscreen = 0\nkrv_showfps = 1' ] || fail "the second player's start changed the first's settings"

# A window twice as big, sharp unless the player asks for smoothing; the player's own method is kept.
play scaled 2 sharp HOME="$second_home" SDL12COMPAT_WINDOW_SCALING=2
# A setting the player broke is the game's to report, and the launcher leaves the file as it is.
printf 'krv_fullscreen = 0\nkrv_showfps = 2\n' >"$second_home/.config/vorpaline/krv.ini"
play smoothed 2 smoothed HOME="$second_home" SDL12COMPAT_WINDOW_SCALING=2 SDL12COMPAT_SCALE_METHOD=linear
grep -qxF 'ERROR!...krv_showfps is invalid number' "$work/smoothed.out" || fail "the broken setting was not reported"
[ "$(cat "$second_home/.config/vorpaline/krv.ini")" = $'krv_fullscreen = 0\nkrv_showfps = 2' ] ||
    fail "the launcher changed the broken settings file"
grep -qx 'SDL12COMPAT_SCALE_METHOD=linear' "$work/smoothed.environ" || fail "the launcher overrode the player's scale method"

# Nothing wrote outside the players' folders, and in their homes only the game's two folders exist.
[ "$before" = "$(tree_state)" ] || fail "the installed tree or the folder the game was started from changed"
[ "$(cd "$first_home" && find . -mindepth 1 -maxdepth 2 | sort | tr '\n' ' ')" = "./.cache ./.cache/vorpaline ./.config ./.config/vorpaline " ] ||
    fail "the first home holds $(cd "$first_home" && find . -mindepth 1 -maxdepth 2 | sort | tr '\n' ' ')"
echo "installed game: tree, options, settings of two players, an upgrade, sharp scaling, window, title and quit as expected"
