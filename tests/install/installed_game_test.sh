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
# - "vorpaline --record" records a session played through the replay tool installed beside the game, in
#   the player's run folder with the player's settings, to a new file named for its UTC time in
#   ~/.local/share/vorpaline/replays, and prints its path; "vorpaline --watch FILE", FILE relative to
#   the folder the launcher is started from, plays it back to its end by itself, in the watching
#   player's run folder; a file that is not a replay gets the replay tool's own message and status;
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
tool_pid=""
cleanup() {
    if [ -n "$tool_pid" ]; then kill "$tool_pid" 2>/dev/null || true; fi
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
[ -x "$prefix/libexec/vorpaline/vorpaline-replay" ] || fail "no replay tool at libexec/vorpaline/vorpaline-replay"
[ "$(ls "$prefix/games")" = vorpaline ] || fail "games/ holds more than the launcher: $(ls "$prefix/games")"

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
mkdir "$work/links" "$work/elsewhere" "$work/nobody" "$work/friend"
ln -s "$launcher" "$work/links/vorpaline"
# The launcher as a desktop finds it, from a folder without data, with the environment given. It
# replaces the shell it runs in: run it in a subshell, or in the background.
launch() {
    launch_from "$work/elsewhere" "$@"
}
launch_from() {
    cd "$1"
    shift
    exec env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_DATA_HOME -u SDL12COMPAT_WINDOW_SCALING \
        -u SDL12COMPAT_SCALE_METHOD -u SDL_VIDEO_X11_WMCLASS PATH="$work/links:$PATH" "$@"
}

status=0
(launch HOME="$work/nobody" vorpaline --version) >"$work/version.out" 2>&1 || status=$?
[ "$status" -eq 0 ] && [ "$(cat "$work/version.out")" = "vorpaline $version" ] ||
    fail "--version gave status $status and \"$(cat "$work/version.out")\", not \"vorpaline $version\""
status=0
(launch HOME="$work/nobody" vorpaline --help) >"$work/help.out" 2>"$work/help.err" || status=$?
[ "$status" -eq 0 ] && [ ! -s "$work/help.err" ] || fail "--help gave status $status: $(cat "$work/help.err")"
for wanted in "Settings: $work/nobody/.config/vorpaline/krv.ini" "krv_fullscreen = 0" "krv_showfps = 0" \
    '"krv_fullscreen=0" is not read' "Escape" "hold to fly faster" "SDL12COMPAT_WINDOW_SCALING=2" \
    "--record [FILE]" "--watch FILE" "$work/nobody/.local/share/vorpaline/replays"; do
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
refused --watch
refused --watch ""
refused --record one.script two.script
refused --watch --help
refused --record one.script --draws
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

# await_title NAME FACTOR PICTURE: waits for the window of class vorpaline that $game_pid's game opens
# to show the title, drawn sharp (PICTURE "sharp") or either way ("smoothed": sharp, or with the
# blended blocks of a smoothed title), and checks it (640x480 times FACTOR, named vorpaline). Sets
# 'window'.
await_title() {
    local name=$1 factor=$2 picture=$3
    # SDL may map a first window and replace it while it sets the video mode: the game's window is the
    # one that shows the title.
    local shown=no deadline=$((SECONDS + 30))
    rm -f "$work/title.log"
    while [ $SECONDS -lt $deadline ] && [ "$shown" = no ]; do
        kill -0 "$game_pid" 2>/dev/null || fail "$name: the launcher or the game ended before the title was shown"
        for window in $(xdotool search --classname '^vorpaline$' 2>/dev/null); do
            xwd -id "$window" -silent >"$work/window.xwd" 2>/dev/null || continue
            # With the player's own scale method the picture is SDL's renderer's business (under load on
            # Xvfb it was seen to draw 'linear' sharp): what is ours is that the launcher leaves the
            # player's choice in place, checked in the game's environment below.
            if python3 "$checks" title "$work/window.xwd" "$factor" >"$work/title.log" 2>&1; then
                shown=yes
            elif [ "$picture" = smoothed ] && grep -q 'not sharp' "$work/title.log"; then
                shown=yes
            fi
            [ "$shown" = yes ] && break
        done
        sleep 0.1
    done
    [ "$shown" = yes ] || fail "$name: within 30 seconds no window of class vorpaline showed the title $picture: \
$(cat "$work/title.log" 2>/dev/null)"
    xdotool search --class '^vorpaline$' | grep -qx "$window" || fail "$name: the window's class is not vorpaline"
    [ "$(xdotool getwindowname "$window")" = vorpaline ] || fail "$name: the window is not named vorpaline"
    local geometry
    geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/ *Geometry: //p')
    [ "$geometry" = "$((640 * factor))x$((480 * factor))" ] || fail "$name: the window is $geometry"
}

# await_window NAME: waits for a window of class vorpaline, named vorpaline, while $game_pid runs.
# Sets 'window'.
await_window() {
    local deadline=$((SECONDS + 30))
    while [ $SECONDS -lt $deadline ]; do
        kill -0 "$game_pid" 2>/dev/null || fail "$1: the launcher or the game ended before its window was shown"
        for window in $(xdotool search --classname '^vorpaline$' 2>/dev/null); do
            [ "$(xdotool getwindowname "$window" 2>/dev/null)" = vorpaline ] && return 0
        done
        sleep 0.1
    done
    fail "$1: within 30 seconds no window of class vorpaline was shown"
}

# press KEY SECONDS: holds KEY in the focused window. The game reads keys as held at a tick: hold a key
# for several ticks.
press() {
    xdotool keydown "$1"
    sleep "$2"
    xdotool keyup "$1"
}

# await_end NAME SECONDS: waits that long at most for $game_pid to end, and then for its window to go.
# Sets 'end_status'.
await_end() {
    local name=$1 deadline=$((SECONDS + $2))
    while [ $SECONDS -lt $deadline ] && kill -0 "$game_pid" 2>/dev/null; do
        sleep 0.1
    done
    kill -0 "$game_pid" 2>/dev/null && fail "$name: the game did not end within $2 seconds"
    end_status=0
    wait "$game_pid" || end_status=$?
    game_pid=""
    tool_pid=""
    # The X server closes the window after the game is gone; the next start must not find it.
    for _ in $(seq 100); do
        [ -z "$(xdotool search --classname '^vorpaline$' 2>/dev/null)" ] && return 0
        sleep 0.1
    done
    fail "$name: the game's window outlived it"
}

# note_process NAME PID: notes the working folder and the environment of the process PID.
note_process() {
    readlink "/proc/$2/cwd" >"$work/$1.cwd"
    tr '\0' '\n' <"/proc/$2/environ" >"$work/$1.environ"
}

# The real path of an installed program in libexec/vorpaline (the tree is moved below).
installed_program() {
    echo "$(cd "$prefix/libexec/vorpaline" && pwd -P)/$1"
}

# play NAME FACTOR PICTURE ENV...: starts the game through the launcher with the environment given,
# checks its window and title (see await_title), notes its working folder and environment, quits with
# Escape and checks a clean exit. The output is in $work/NAME.out.
play() {
    local name=$1 factor=$2 picture=$3
    shift 3
    last_output=$work/$name.out
    launch "$@" vorpaline >"$last_output" 2>&1 &
    game_pid=$!
    await_title "$name" "$factor" "$picture"

    # The launcher replaced itself with the game, which runs without arguments in the player's run folder.
    local game_exe
    game_exe=$(readlink "/proc/$game_pid/exe") || fail "$name: the game is gone"
    [ "$game_exe" = "$(installed_program vorpaline)" ] || fail "$name: the started process runs $game_exe"
    note_process "$name" "$game_pid"
    [ "$(tr '\0' '\n' <"/proc/$game_pid/cmdline" | wc -l)" -eq 1 ] ||
        fail "$name: the game was given arguments: $(tr '\0' ' ' <"/proc/$game_pid/cmdline")"

    xdotool windowfocus "$window" 2>/dev/null || true
    press Escape 0.3
    await_end "$name" 10
    [ "$end_status" -eq 0 ] || fail "$name: the game exited $end_status"
    [ "$(tail -n 1 "$last_output")" = "Quit krv...bye." ] || fail "$name: the last line is not \"Quit krv...bye.\""
    grep -q "can't open" "$last_output" && fail "$name: the game could not open one of its files"
    return 0
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

# --- a session recorded, and watched by the second player ---
# The first player records through the launcher: the replay tool installed beside the game, run in the
# player's run folder with the player's settings; the launcher stays to print where the replay is.
last_output=$work/record.out
replays=$first_home/.local/share/vorpaline/replays
began=$(date -u +%Y%m%dT%H%M%SZ)
launch HOME="$first_home" vorpaline --record >"$last_output" 2>"$work/record.err" &
game_pid=$!
await_title record 1 sharp
read -r tool_pid _ <"/proc/$game_pid/task/$game_pid/children" || true
[ -n "$tool_pid" ] && [ "$(readlink "/proc/$tool_pid/exe")" = "$(installed_program vorpaline-replay)" ] ||
    fail "record: the launcher did not start the installed replay tool"
note_process record "$tool_pid"
check_run_folder record "$first_run" "$first_settings"
# A start, a moment of the stage steering left, and Escape.
xdotool windowfocus "$window" 2>/dev/null || true
press z 0.3
sleep 2
press Left 1
press Escape 0.3
await_end record 10
ended=$(date -u +%Y%m%dT%H%M%SZ)
[ "$end_status" -eq 0 ] || fail "record: the launcher exited $end_status: $(cat "$work/record.err")"
check_listing record "show FPS"
saved=$(tail -n 1 "$last_output")
recorded=${saved#"vorpaline: replay saved in "}
[ "$recorded" != "$saved" ] && [ "$(tail -n 2 "$last_output" | head -n 1)" = "Quit krv...bye." ] ||
    fail "record: the last lines are not the game's \"Quit krv...bye.\" and the replay's path"
stamp=${recorded#"$replays/"}
stamp=${stamp%.script}
[[ "$stamp" =~ ^[0-9]{8}T[0-9]{6}Z$ ]] && [[ ! "$stamp" < "$began" ]] && [[ ! "$stamp" > "$ended" ]] ||
    fail "record: the replay is $recorded, not a file in $replays named for the UTC time it began ($began to $ended)"
[ -s "$recorded" ] || fail "record: $recorded is not there"
[ "$(stat -c %a "$replays")" = 700 ] || fail "record: $replays is not private to the player"
head -n 1 "$recorded" | grep -qF 'krv_showfps = 1' || fail "record: the recording did not use the player's settings"
# The script holds the session: replayed here, it starts a run and quits in the stage at its last tick.
(cd "$source_data" && "$replay" "$recorded" "$work/record.trace") >/dev/null || fail "record: the replay tool does not replay $recorded"
ticks=$(wc -l <"$work/record.trace")
tail -n 1 "$work/record.trace" | grep -qF '"scene":"game","quit":1,' ||
    fail "record: the replay does not quit in the stage at its last tick: $(tail -n 1 "$work/record.trace" | cut -c 1-80)"
grep -Eqx 'L( [0-9]+)?' "$recorded" || fail "record: steering left is not in $recorded"

# The second player watches it, a copy in a folder of their own named relative to it, with their
# own settings; it plays by itself at 60 ticks a second and ends where the session ended.
cp "$recorded" "$work/friend/run.script"
second_xdg=(XDG_CONFIG_HOME="$second_home/config" XDG_CACHE_HOME="$second_home/cache")
last_output=$work/watch.out
watch_began=$(date +%s%N)
launch_from "$work/friend" HOME="$second_home" "${second_xdg[@]}" vorpaline --watch run.script >"$last_output" 2>&1 &
game_pid=$!
await_window watch
[ "$(readlink "/proc/$game_pid/exe")" = "$(installed_program vorpaline-replay)" ] &&
    [ "$(tr '\0' ' ' <"/proc/$game_pid/cmdline")" = "$(installed_program vorpaline-replay) --watch $work/friend/run.script " ] ||
    fail "watch: the launcher did not become the installed replay tool watching $work/friend/run.script: \
$(tr '\0' ' ' <"/proc/$game_pid/cmdline")"
note_process watch "$game_pid"
check_run_folder watch "$second_home/cache/vorpaline/run" "$second_settings"
await_end watch $((ticks / 60 + 30))
watched_ms=$((($(date +%s%N) - watch_began) / 1000000))
[ "$end_status" -eq 0 ] || fail "watch: the launcher exited $end_status"
[ "$watched_ms" -ge $((ticks * 1000 / 60)) ] || fail "watch: $ticks ticks were over in $watched_ms ms"
[ "$(tail -n 1 "$last_output")" = "Quit krv...bye." ] || fail "watch: the last line is not \"Quit krv...bye.\""
check_listing watch "don't show FPS"

# A file that is not a replay, or none: the replay tool's own message and status, as it gives them.
printf 'L 60\nfire\n' >"$work/friend/bad.script"
for file in bad.script missing.script; do
    status=0
    (launch_from "$work/friend" HOME="$second_home" "${second_xdg[@]}" vorpaline --watch "$file") \
        >"$work/refused.out" 2>"$work/refused.err" || status=$?
    tool_status=0
    (cd "$work/friend" && "$replay" --watch "$work/friend/$file") >/dev/null 2>"$work/tool.err" || tool_status=$?
    [ "$tool_status" -ne 0 ] && [ "$status" -eq "$tool_status" ] && [ ! -s "$work/refused.out" ] &&
        cmp -s "$work/tool.err" "$work/refused.err" ||
        fail "--watch $file gave status $status and \"$(cat "$work/refused.err")\", not the replay tool's \
$tool_status and \"$(cat "$work/tool.err")\""
done

# A window twice as big, sharp unless the player asks for smoothing; the player's own method is kept.
play scaled 2 sharp HOME="$second_home" SDL12COMPAT_WINDOW_SCALING=2
# A setting the player broke is the game's to report, and the launcher leaves the file as it is.
printf 'krv_fullscreen = 0\nkrv_showfps = 2\n' >"$second_home/.config/vorpaline/krv.ini"
play smoothed 2 smoothed HOME="$second_home" SDL12COMPAT_WINDOW_SCALING=2 SDL12COMPAT_SCALE_METHOD=linear
grep -qxF 'ERROR!...krv_showfps is invalid number' "$work/smoothed.out" || fail "the broken setting was not reported"
[ "$(cat "$second_home/.config/vorpaline/krv.ini")" = $'krv_fullscreen = 0\nkrv_showfps = 2' ] ||
    fail "the launcher changed the broken settings file"
grep -qx 'SDL12COMPAT_SCALE_METHOD=linear' "$work/smoothed.environ" || fail "the launcher overrode the player's scale method"

# Nothing wrote outside the players' folders, and in their homes only the game's three folders exist.
[ "$before" = "$(tree_state)" ] || fail "the installed tree or the folder the game was started from changed"
[ "$(cd "$first_home" && find . -mindepth 1 -maxdepth 2 | sort | tr '\n' ' ')" = \
    "./.cache ./.cache/vorpaline ./.config ./.config/vorpaline ./.local ./.local/share " ] ||
    fail "the first home holds $(cd "$first_home" && find . -mindepth 1 -maxdepth 2 | sort | tr '\n' ' ')"
echo "installed game: tree, options, settings of two players, an upgrade, sharp scaling, window, title and quit,"\
    "a recorded session watched by another player, as expected"
