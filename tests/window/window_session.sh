# window_session.sh: one run of the real game in an X server of its own, for run_window_test.sh and
# replay_window_test.sh.
#
# Needs: $game (the vorpaline binary, or vorpaline-replay in a mode with a window), $replay (vorpaline-replay),
# $probe (window_probe), $data_dir (the data folder to copy) and $work (a scratch folder). Sets $game_dir,
# $game_pid, $window and $game_status. Everything started
# here is stopped by stop_session, which the caller runs on exit; a failed case keeps $work and says
# where it is.

xvfb_pid=""
game_pid=""
game_dir=""
window=""
game_status=""
window_class=""

# Long enough for a loaded machine; reaching one of these fails the case.
startup_seconds=20
show_seconds=10
exit_seconds=10

fail() {
    echo "FAIL: $*"
    if [ -n "$game_dir" ] && [ -f "$work/stdout" ]; then
        echo "--- the game's standard output (last 20 lines):"
        tail -n 20 "$work/stdout"
        echo "--- its standard error:"
        cat "$work/stderr"
    fi
    exit 1
}

stop_session() {
    local status=$?
    # SDL turns SIGTERM into a quit event, which a game that fails to quit would ignore as well.
    if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then
        kill -KILL "$game_pid" 2>/dev/null || true
        wait "$game_pid" 2>/dev/null || true
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    if [ "$status" -eq 0 ]; then
        rm -rf "$work"
    else
        echo "the case's files (data, output, last grab) are kept in $work"
    fi
    exit "$status"
}

# Xvfb chooses a free display itself and writes its number to fd 3 once it takes connections, so
# cases running side by side never race for a display.
start_x_server() {
    command -v Xvfb >/dev/null || fail "Xvfb is not installed (tools/setup.sh installs it)"
    command -v xdotool >/dev/null || fail "xdotool is not installed (tools/setup.sh installs it)"
    : >"$work/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    local waited=0
    until grep -q '^[0-9]' "$work/display"; do
        kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
        ((waited++ < startup_seconds * 20)) || fail "Xvfb gave no display number"
        sleep 0.05
    done
    DISPLAY=":$(head -n 1 "$work/display")"
    export DISPLAY
}

# A copy of the data folder that the case may change.
copy_data() {
    game_dir=$work/data
    cp -r "$data_dir" "$game_dir"
}

# The game in $game_dir as a player would start it there (with ARGS, for the replay tool's modes): its
# own X display, no audio device needed, SDL's usual choice of video driver. SDL names the window's
# class after the program.
start_game() {
    (cd "$game_dir" && exec env -u SDL_VIDEODRIVER -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy "$game" "$@") \
        >"$work/stdout" 2>"$work/stderr" &
    game_pid=$!
    window_class=$(basename "$game")
    window=$("$probe" find "$window_class" "$startup_seconds") || fail "no window of class $window_class appeared"
}

game_running() {
    local state
    state=$(awk '{ print $3 }' "/proc/$game_pid/stat" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "$state" != Z ]
}

# Waits for the game to end by itself and records its exit status.
wait_for_exit() {
    local waited=0
    while game_running; do
        ((waited++ < exit_seconds * 20)) || fail "the game was still running $exit_seconds s later"
        sleep 0.05
    done
    game_status=0
    wait "$game_pid" || game_status=$?
    game_pid=""
}

# The game samples the keyboard once per tick, so a key is held until the window shows its effect
# (the checks of expect_window) and only then let go.
key_down() { xdotool keydown --window "$window" "$1"; }
key_up() { xdotool keyup --window "$window" "$1"; }

hold_key_until() {
    local key=$1
    shift
    key_down "$key"
    expect_window "$@"
    key_up "$key"
}

# Holds the key until the game has ended (Escape, or a choice that quits).
hold_key_until_exit() {
    key_down "$1"
    wait_for_exit
}

# window_probe expect on the game's window; the last grab is kept for a failed case. SDL may map a
# first window and replace it while it sets the video mode (it does so for full screen), so a window
# that is destroyed while the game still runs is looked up again.
expect_window() {
    local status replaced=0
    while :; do
        status=0
        "$probe" expect "$window" "$show_seconds" --dump "$work/last-grab.ppm" "$@" || status=$?
        [ "$status" -eq 0 ] && return 0
        if [ "$status" -ne 3 ] || ! game_running || ((++replaced > 3)); then
            fail "the window is not as expected"
        fi
        window=$("$probe" find "$window_class" "$startup_seconds") || fail "the game's window is gone"
    done
}

check_clean_exit() {
    [ "$game_status" -eq 0 ] || fail "the game exited with status $game_status"
    [ "$(tail -n 1 "$work/stdout")" = "Quit krv...bye." ] || fail "the last line is not \"Quit krv...bye.\""
}

# What the game makes of $game_dir, told by the replay tool there: one tick of the title, without a
# window. $own_frame is the tick's picture, whose colour table is the palette as the game read it, and
# $own_stdout the start-up listing and farewell, the same start-up as the window's. Writes only in $work.
own_frame=""
own_stdout=""
replay_one_tick() {
    local out=$work/own
    rm -rf "$out"
    mkdir "$out"
    echo - >"$out/one-tick.script"
    (cd "$game_dir" && "$replay" "$out/one-tick.script" /dev/null --bmp "$out" --every 1 >"$out/stdout" 2>"$out/stderr") ||
        fail "the replay tool failed in the data folder: $(head -n 5 "$out/stderr")"
    own_frame=$out/tick-000000.bmp
    own_stdout=$out/stdout
    [ -f "$own_frame" ] || fail "the replay tool saved no frame of the first tick"
}

# The whole standard output, line for line, against the replay tool's for the same folder.
check_stdout() {
    replay_one_tick
    diff -u "$own_stdout" "$work/stdout" >"$work/stdout.diff" ||
        fail "standard output differs from the replay tool's in the same folder (- replay tool, + window):
$(head -n 40 "$work/stdout.diff")"
}
