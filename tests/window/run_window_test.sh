#!/usr/bin/env bash
# run_window_test.sh CASE GAME PROBE DATA_DIR REPLAY
#
# One real-window case: the real game in its own Xvfb, on a copy of DATA_DIR that the case may
# change, driven by key events from xdotool. Every case ends with the game quitting cleanly and its
# standard output compared, line for line, with the replay tool's (REPLAY) in the same folder: both
# run the same start-up.
set -euo pipefail
case_name=$1 game=$2 probe=$3 data_dir=$4 replay=$5
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/window_session.sh"
source "$here/title_checks.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/vorpaline-window.$case_name.XXXXXX")
trap stop_session EXIT

start_on_title() {
    start_game
    title_setup
}

quit_with_escape() {
    hold_key_until_exit Escape
    check_clean_exit
    check_stdout
}

case_startup_output() {
    copy_data
    start_on_title
    expect_window "${title_text[@]}"
    quit_with_escape
}

case_title_screen() {
    copy_data
    start_on_title
    # Exactly the title's nine cells, and no FPS counter in the corner.
    expect_window --samples "$cycle_samples" "${title_text[@]}" "${cursor_on_start[@]}" \
        "fill:212,80,8,8:$clear" "fill:292,80,8,8:$clear" "fill:0,0,80,8:$clear"
    [ "$("$probe" size "$window")" = "640 480" ] || fail "the window is $("$probe" size "$window"), not 640 480"
    [ "$("$probe" name "$window")" = vorpaline ] || fail "the window's title is \"$("$probe" name "$window")\", not vorpaline"
    "$probe" icon "$window" "$game_dir/icon.bmp" >/dev/null || fail "the window's icon is not icon.bmp"
    expect_cursor_frames 390
    hold_key_until Down "${cursor_on_end[@]}"
    expect_window --samples "$cycle_samples" "${title_text[@]}" "${cursor_on_end[@]}"
    expect_cursor_frames 420
    hold_key_until Up "${cursor_on_start[@]}"
    expect_window --samples "$cycle_samples" "${title_text[@]}" "${cursor_on_start[@]}"
    quit_with_escape
}

case_alternate_title() {
    copy_data
    start_on_title
    expect_window "${title_text[@]}"
    hold_key_until c "${font[@]}" "text:220,80:$background:vorpline" "fill:284,80,8,8:$clear"
    expect_window "${title_text[@]}"
    quit_with_escape
}

case_quit_by_menu() {
    copy_data
    start_on_title
    expect_window "${title_text[@]}" "${cursor_on_start[@]}"
    hold_key_until Down "${cursor_on_end[@]}"
    hold_key_until_exit z
    check_clean_exit
    check_stdout
}

case_quit_by_close() {
    copy_data
    start_on_title
    expect_window "${title_text[@]}"
    "$probe" close "$window" || fail "the close request could not be sent"
    wait_for_exit
    check_clean_exit
    check_stdout
}

case_start_run_then_escape() {
    copy_data
    start_on_title
    expect_window "${title_text[@]}" "${cursor_on_start[@]}"
    # The game scene: the title is gone, the score panel and the spare ships' label are up.
    hold_key_until z "${font[@]}" "fill:220,80,72,8:$clear" "text:460,30:$background:score:" \
        "text:460,400:$background:left"
    quit_with_escape
}

case_fps_counter() {
    copy_data
    printf 'krv_fullscreen = 0\nkrv_showfps = 1\n' >"$game_dir/krv.ini"
    start_on_title
    expect_window "${title_text[@]}"
    # It reads 0 during the first 60 ticks and then the frames drawn in the last 60.
    local figure="" waited=0
    until [[ "$figure" =~ ^[0-9]+$ ]] && ((figure > 0)); do
        ((waited++ < show_seconds * 10)) || fail "the counter read \"$figure\", never a figure above 0"
        figure=$("$probe" read "$window" 0 0 "$background" "$game_dir/font.bmp" "$show_seconds") ||
            fail "no counter at (0,0)"
        sleep 0.1
    done
    ((figure <= 60)) || fail "the counter shows $figure frames in 60 ticks"
    echo "the counter reads $figure"
    quit_with_escape
}

# Lines that the readers take in their own way: the window must echo them as the replay tool does (what
# each reader makes of them is its unit tests' to say).
case_odd_data_lines() {
    copy_data
    # A valid line, a value out of range, a key in capitals, a key joined to "=", text after the number.
    printf '%s\n' 'krv_fullscreen = 1' 'krv_showfps = 2' 'KRV_SHOWFPS = 1' 'krv_showfps=1' \
        'krv_fullscreen = 0 a window after all' >"$game_dir/krv.ini"
    # Entry 17 from one number (green and blue carry over), and lines past the 256th.
    sed -i '18s/.*/40/' "$game_dir/krvcolor.ini"
    printf '1 2 3\n4 5 6\n' >>"$game_dir/krvcolor.ini"
    # Frames after the cursor's four: one line short of a number, one with blanks and a trailing comma.
    printf '1,2,3\n 5, 6,7,8,\n' >>"$game_dir/cursor.kvs"
    start_on_title
    expect_window --samples "$cycle_samples" "${title_text[@]}" "${cursor_on_start[@]}" "fill:0,0,80,8:$clear"
    [ "$("$probe" size "$window")" = "640 480" ] || fail "the last krv_fullscreen line did not give a window"
    quit_with_escape
    grep -qxF 'ERROR! cursor.kvs..l4 is invalid number.5,6,7,8' "$work/stdout" ||
        fail "the short frame line of cursor.kvs was not reported as expected"
}

case_no_settings_file() {
    copy_data
    rm "$game_dir/krv.ini"
    start_on_title
    # Full screen may place and scale the picture as the X server allows: only ask for the text
    # cells' colour somewhere in the window, and for at least 640x480.
    expect_window "some:0,0,640,480:$background"
    local size width height
    size=$("$probe" size "$window")
    echo "the full-screen window is $size"
    read -r width height <<<"$size"
    ((width >= 640 && height >= 480)) || fail "the full-screen window is only $size"
    quit_with_escape
}

case_no_palette_file() {
    copy_data
    rm "$game_dir/krvcolor.ini"
    start_on_title
    [ "$background" = 101010 ] || fail "the default table gives index 16 as $background"
    expect_window --samples "$cycle_samples" "${title_text[@]}" "${cursor_on_start[@]}"
    expect_cursor_frames 390 # in the greys of the default table
    quit_with_escape
}

case_no_sheet_list() {
    copy_data
    rm "$game_dir/kvs.ini"
    start_on_title
    expect_window --samples "$cycle_samples" "${title_text[@]}" "${no_cursor[@]}"
    quit_with_escape
}

case_no_font() {
    copy_data
    rm "$game_dir/font.bmp"
    start_on_title # without --font: every pixel of each text cell is the background
    expect_window --samples "$cycle_samples" "${title_text[@]}" "${cursor_on_start[@]}"
    quit_with_escape
}

case_no_icon() {
    copy_data
    rm "$game_dir/icon.bmp"
    start_on_title
    expect_window "${title_text[@]}" "${cursor_on_start[@]}"
    [ "$("$probe" icon "$window")" = none ] || fail "the window has an icon without icon.bmp"
    quit_with_escape
}

case_sheet_bitmap_missing() {
    copy_data
    rm "$game_dir/cursor.bmp"
    start_on_title
    expect_window --samples "$cycle_samples" "${title_text[@]}" "${no_cursor[@]}"
    quit_with_escape
}

declare -F "case_$case_name" >/dev/null || fail "no case named $case_name"
start_x_server
"case_$case_name"
echo "PASS: $case_name"
