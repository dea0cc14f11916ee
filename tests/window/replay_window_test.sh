#!/usr/bin/env bash
# replay_window_test.sh CASE REPLAY PROBE DATA_DIR
#
# The replay tool's modes with a real window, each in its own Xvfb on a copy of DATA_DIR, driven by key
# events from xdotool: a session recorded as it is played (its script, replayed without a window,
# must give the live trace again byte for byte), and a script watched. Like the game, the tool with a
# window must print the start-up listing that it prints without one, and quit cleanly.
set -euo pipefail
case_name=$1 game=$2 probe=$3 data_dir=$4
replay=$game
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
replays_dir=$here/../replays
source "$here/window_session.sh"
source "$here/title_checks.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/vorpaline-window.$case_name.XXXXXX")
trap stop_session EXIT

script=$work/session.script
live=$work/live.trace

# The game scene: the title is gone, the score panel and the spare ships' label are up.
game_scene() { in_game=("${font[@]}" "fill:220,80,72,8:$clear" "text:460,30:$background:score:" "text:460,400:$background:left"); }

# Waits until a line of the live trace matches the extended regular expression. The tool writes the
# trace through a buffer, so a tick reaches the file some ticks after it ran.
wait_for_trace() {
    local pattern=$1 what=$2 waited=0
    until grep -qE "$pattern" "$live" 2>/dev/null; do
        game_running || fail "the recording ended before $what"
        ((waited++ < show_seconds * 3 * 20)) || fail "the live trace never showed $what"
        sleep 0.05
    done
}

# Holds a key until the game's own state shows its effect in the live trace.
hold_key_until_traced() {
    local key=$1
    shift
    key_down "$key"
    wait_for_trace "$@"
    key_up "$key"
}

press_key() {
    key_down "$1"
    sleep 0.2
    key_up "$1"
    sleep 0.2
}

# Stops the whole process for a third of a second: the ticks whose slots pass meanwhile are late.
freeze_a_third_of_a_second() {
    kill -STOP "$game_pid"
    sleep 0.33
    kill -CONT "$game_pid"
}

# What every recording must be: the tool wrote into the data folder nothing of its own, the script has
# its header, and the script replayed without a window gives the live trace again, byte for byte.
check_recording() {
    local options=$1
    diff -r "$data_dir" "$game_dir" >"$work/data.diff" || fail "the data folder changed:
$(head -n 20 "$work/data.diff")"
    head -n 1 "$script" | grep -qE '^# recorded [0-9-]+ [0-9:]+ UTC by vorpaline-replay --record: ' ||
        fail "the script's first line is not its header: $(head -n 1 "$script")"
    (cd "$game_dir" && "$game" "$script" "$work/replayed.trace" $options >"$work/replay-stdout" 2>&1) ||
        fail "the replay of the recorded script failed: $(tail -n 5 "$work/replay-stdout")"
    cmp "$live" "$work/replayed.trace" || fail "the replayed trace differs from the live one:
$("$(dirname "$game")/vorpaline-trace-compare" "$live" "$work/replayed.trace" 2>&1 | head -n 5)"
    echo "the script's $(wc -l <"$live") ticks replay to the live trace, byte for byte"
}

# The script's entry lines whose keys match the regular expression.
entries_with() { grep -vE '^#' "$script" | awk -v keys="$1" '$1 ~ keys'; }

case_record_and_replay() {
    copy_data
    start_game --record "$script" "$live" --draws
    title_setup
    game_scene
    expect_window "${title_text[@]}" "${cursor_on_start[@]}"
    hold_key_until Down "${cursor_on_end[@]}"
    hold_key_until Up "${cursor_on_start[@]}"
    # A hard run: button 3 held at the start press.
    key_down c
    hold_key_until z "${in_game[@]}"
    key_up c
    wait_for_trace '"scene":"game".*"hard":1' "a hard run"
    # Steer left, then right with button 2 held (the faster speed), firing on the way.
    hold_key_until_traced Left '"ship":\{"x":(2[0-9][0-9]|30[0-9]|31[01]),' "the ship left of its start"
    press_key z
    press_key z
    key_down x
    hold_key_until_traced Right '"ship":\{"x":(3[2-9][0-9]|4[0-9][0-9]),' "the ship right of its start"
    key_up x
    freeze_a_third_of_a_second
    # Up into what the hard stage sends down, until the ship is wrecked.
    hold_key_until_traced Up '"ship":\{[^}]*"state":([5-9]|[1-9][0-9]+),' "the ship wrecked"
    hold_key_until_exit Escape
    check_clean_exit
    check_stdout

    local late
    late=$(entries_with '~' | awk '{ n += ($2 == "" ? 1 : $2) } END { print n + 0 }')
    ((late > 0)) || fail "the script has no late (~) tick after the process was stopped"
    echo "the recording has $late late ticks"
    [ "$(grep -c '"drawn":0' "$live")" -eq "$late" ] || fail "the live trace has other undrawn ticks than the script's ~"
    [ -n "$(entries_with 1)" ] && [ -n "$(entries_with 2)" ] && [ -n "$(entries_with 3)" ] ||
        fail "the script lacks a tick with button 1, 2 or 3 held"
    grep -q '"shots":\[\[' "$live" || fail "no shot was fired"
    entries_with . | tail -n 1 | grep -qE '^[^ ]*E' || fail "the last entry is not Escape: $(entries_with . | tail -n 1)"
    tail -n 1 "$script" | grep -q 'ended by Escape' || fail "the closing comment is $(tail -n 1 "$script")"
    check_recording --draws
}

case_record_closed_window() {
    copy_data
    start_game --record "$script" "$live"
    title_setup
    game_scene
    expect_window "${title_text[@]}"
    hold_key_until z "${in_game[@]}"
    "$probe" close "$window" || fail "the close request could not be sent"
    wait_for_exit
    check_clean_exit
    check_stdout
    entries_with . | tail -n 1 | grep -qE '^[^ ]*Q' || fail "the last entry is not the close event (Q)"
    [ "$(entries_with Q | wc -l)" -eq 1 ] || fail "more than one entry has the close event"
    check_recording ""
}

# A script with the alternate title (button 3 held), then half its ticks late, then a long wait: the
# FPS counter must read 30, and the real keyboard must not steer it.
write_watch_script() {
    {
        echo "# watched by the window test"
        echo "3 600"
        for ((i = 0; i < 900; i++)); do printf -- '-\n~\n'; done
        echo "- 6000"
    } >"$script"
}

case_watch_script() {
    copy_data
    printf 'krv_fullscreen = 0\nkrv_showfps = 1\n' >"$game_dir/krv.ini"
    write_watch_script
    start_game --watch "$script"
    title_setup
    expect_window "${font[@]}" "text:220,80:$background:vorpline"
    local figure="" waited=0
    until [ "$figure" = 30 ]; do
        ((waited++ < show_seconds * 30)) || fail "the counter read \"$figure\", never 30 with every other tick late"
        figure=$("$probe" read "$window" 0 0 "$background" "$game_dir/font.bmp" "$show_seconds") ||
            fail "no counter at (0,0)"
        sleep 0.1
    done
    echo "the counter reads $figure with every other tick late"
    # Down would move a played title's cursor to "end", and z would start a run.
    key_down Down
    key_down z
    expect_window --samples "$cycle_samples" "${title_text[@]}" "${cursor_on_start[@]}"
    key_up z
    key_up Down
    # Escape stops the watch long before the script ends.
    hold_key_until_exit Escape
    check_clean_exit
    check_stdout
}

case_watch_closed_window() {
    copy_data
    start_game --watch "$replays_dir/full_normal_run.script"
    title_setup
    game_scene
    expect_window "${in_game[@]}"
    "$probe" close "$window" || fail "the close request could not be sent"
    wait_for_exit
    check_clean_exit
    check_stdout
}

declare -F "case_$case_name" >/dev/null || fail "no case named $case_name"
start_x_server
"case_$case_name"
echo "PASS: $case_name"
