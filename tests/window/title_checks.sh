# title_checks.sh: the title screen as the window tests look for it, for the data in $game_dir.
# Sourced after window_session.sh; needs $probe, $replay and $work. The colours and the cursor's frames are
# the game's own: its palette from a frame the replay tool saved, its frames from its start-up listing.

# A full turn of the title cursor is 32 drawn frames (about 0.53 s); twelve grabs at least 50 ms
# apart span more than that, so a check that holds in all of them holds for every cursor frame.
cycle_samples=12

# The colours and checks of the title screen, for the data in $game_dir.
title_setup() {
    replay_one_tick
    background=$("$probe" colour "$own_frame" 16) || fail "no colour 16 in the saved frame"
    clear=$("$probe" colour "$own_frame" 0) || fail "no colour 0 in the saved frame"
    font=()
    if [ -f "$game_dir/font.bmp" ]; then font=(--font "$game_dir/font.bmp"); fi
    title_text=("${font[@]}" "text:220,80:$background:vorpaline" "text:315,90:$background:presented by krv 2004"
        "text:220,390:$background:start" "text:220,420:$background:end")
    cursor_sheet=(--sheet "$game_dir/cursor.bmp" --palette "$own_frame")
    cursor_on_start=("other:210,390,8,8:$clear" "fill:210,420,8,8:$clear")
    cursor_on_end=("fill:210,390,8,8:$clear" "other:210,420,8,8:$clear")
    no_cursor=("fill:210,390,8,8:$clear" "fill:210,420,8,8:$clear")
}

# The cursor at (210, Y) shows frames 0 to 3 of sheet 0 in turn, each pixel in its palette colour. The
# frames are the four lines "x,y,w,h" that the game echoed after reading cursor.kvs.
expect_cursor_frames() {
    local y=$1 frame
    awk '/^Loading cursor\.kvs$/ { n = 4; next } n-- > 0' "$own_stdout" >"$work/cursor-frames"
    [ "$(wc -l <"$work/cursor-frames")" -eq 4 ] || fail "cursor.kvs lists fewer than four frames"
    while read -r frame; do
        expect_window "${cursor_sheet[@]}" "sprite:210,$y:$frame"
    done <"$work/cursor-frames"
}
