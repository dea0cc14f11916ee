# expected_output.sh: what vorpaline must print and show for a data folder, worked out from the
# folder's own files with the readers' rules. Sourced by run_window_test.sh; no side effects.

# The blanks of C's isspace, for the scans below.
blanks='[ \t\r\f\v]'

# 0 down to -15, each with itself divided by 4 and rounded half away from zero.
rounding_listing() {
    local i
    for ((i = 0; i > -16; i--)); do
        echo "$i:$((-((-i + 2) / 4)))"
    done
}

# krv.ini, "key = number": a key of non-blank characters, optional blanks, "=", optional blanks and
# a signed decimal number; anything else on the line is ignored, and so are lines that don't scan.
settings_lines() {
    local file=$1/krv.ini
    [ -f "$file" ] || return 0
    awk -v blanks="$blanks" '
        {
            line = $0
            sub("^" blanks "+", "", line)
            if (!match(line, /^[^ \t\r\f\v]+/)) next
            key = substr(line, 1, RLENGTH)
            rest = substr(line, RLENGTH + 1)
            sub("^" blanks "*", "", rest)
            if (substr(rest, 1, 1) != "=") next
            rest = substr(rest, 2)
            sub("^" blanks "*", "", rest)
            if (!match(rest, /^[-+]?[0-9]+/)) next
            value = substr(rest, 1, RLENGTH) + 0
            if (key == "krv_fullscreen")
                print (value == 0 ? "setting...Window mode" : value == 1 ? "setting...Fullscreen mode" : "ERROR!...krv_fullscreen is invalid number")
            else if (key == "krv_showfps")
                print (value == 0 ? "setting...don'"'"'t show FPS" : value == 1 ? "setting...show FPS" : "ERROR!...krv_showfps is invalid number")
        }' "$file"
}

# True when the file is not empty and its last line has no line end.
ends_open() {
    [ -s "$1" ] && [ -n "$(tail -c 1 "$1")" ]
}

# krvcolor.ini: one entry per line from entry 0, up to three numbers "red green blue"; a line that
# gives fewer keeps the previous line's values for the rest. Each value keeps its low 8 bits. At most
# 256 lines. Prints "r,g,b" per entry; with echo=1 each line as read before it and a blank line after.
palette_table() {
    local file=$1 echo=$2 open=0
    ends_open "$file" && open=1
    awk -v blanks="$blanks" -v echo="$echo" -v open="$open" -v records="$(($(wc -l <"$file") + open))" '
        function low8(v) { v = v % 256; return v < 0 ? v + 256 : v }
        BEGIN { rgb[0] = rgb[1] = rgb[2] = 0 }
        NR > 256 { exit }
        {
            if (echo) printf "%s%s", $0, (open && NR == records) ? "" : "\n"
            rest = $0
            for (n = 0; n < 3; n++) {
                sub("^" blanks "*", "", rest)
                if (!match(rest, /^[-+]?[0-9]+/)) break
                rgb[n] = substr(rest, 1, RLENGTH) + 0
                rest = substr(rest, RLENGTH + 1)
            }
            printf "%d,%d,%d\n%s", low8(rgb[0]), low8(rgb[1]), low8(rgb[2]), echo ? "\n" : ""
        }' "$file"
}

palette_lines() {
    local file=$1/krvcolor.ini
    if [ ! -f "$file" ]; then
        echo 'File "krvcolor.ini" can'"'"'t open. Setting default color table.'
        return 0
    fi
    echo "Loading...krvcolor.ini"
    palette_table "$file" 1
}

# The 256 colours as lines "r,g,b": krvcolor.ini's (entries without a line are black), or the grey
# ramp i,i,i without the file.
palette_entries() {
    local file=$1/krvcolor.ini i
    if [ -f "$file" ]; then
        palette_table "$file" 0
        for ((i = $(palette_table "$file" 0 | wc -l); i < 256; i++)); do echo 0,0,0; done
    else
        for ((i = 0; i < 256; i++)); do echo "$i,$i,$i"; done
    fi
}

# The colour of a palette index as RRGGBB.
palette_colour() {
    local rgb
    IFS=, read -r -a rgb <<<"$(palette_entries "$1" | sed -n "$(($2 + 1))p")"
    printf '%02x%02x%02x\n' "${rgb[@]}"
}

# kvs.ini: one sheet name per line, its first word; a blank line names no sheet. At most 256 lines.
sheet_names() {
    awk 'NR > 256 { exit } { print $1 }' "$1/kvs.ini"
}

# <name>.kvs: one frame per line, "x,y,w,h" (blanks allowed before each number, a trailing comma or
# anything else after the fourth number ignored); x and y are echoed as signed, w and h as unsigned
# 16-bit values. A line that doesn't scan prints the error without a line end. At most 256 lines.
frame_lines() {
    awk -v name="$2" '
        function s16(v) { v = v % 65536; if (v < 0) v += 65536; return v >= 32768 ? v - 65536 : v }
        function u16(v) { v = v % 65536; return v < 0 ? v + 65536 : v }
        NR > 256 { exit }
        {
            rest = $0
            for (n = 0; n < 4; n++) {
                if (n > 0) {
                    if (substr(rest, 1, 1) != ",") break
                    rest = substr(rest, 2)
                }
                if (!match(rest, /^[ \t\r\f\v]*[-+]?[0-9]+/)) break
                v[n] = substr(rest, 1, RLENGTH) + 0
                rest = substr(rest, RLENGTH + 1)
            }
            if (n == 4)
                printf "%d,%d,%d,%d\n", s16(v[0]), s16(v[1]), u16(v[2]), u16(v[3])
            else
                printf "ERROR! %s..l%d is invalid number.", name, NR - 1
        }' "$1"
}

sheet_lines() {
    local dir=$1 name
    if [ ! -f "$dir/kvs.ini" ]; then
        echo 'File "kvs.ini" can'"'"'t open.'
        return 0
    fi
    # The game reads these lines 15 and 31 characters at a time; longer ones are not worked out here.
    if awk 'length($0) > 14 { bad = 1 } END { exit !bad }' "$dir/kvs.ini"; then
        echo "expected_output.sh: kvs.ini has a line longer than 14 characters" >&2
        return 1
    fi
    echo "Loading kvs.ini"
    sheet_names "$dir"
    sheet_names "$dir" | while read -r name; do
        [ -n "$name" ] || continue
        echo "Loading $name.kvs"
        [ -f "$dir/$name.kvs" ] || continue
        if awk 'length($0) > 30 { bad = 1 } END { exit !bad }' "$dir/$name.kvs"; then
            echo "expected_output.sh: $name.kvs has a line longer than 30 characters" >&2
            return 1
        fi
        frame_lines "$dir/$name.kvs" "$name.kvs"
    done
}

# Everything a start in DIR and a clean quit print, in order.
expected_stdout() {
    local dir=$1
    rounding_listing
    echo "Korvane on SDL Ver 0.8"
    settings_lines "$dir"
    echo "Display Setting...640x480x8 Done."
    palette_lines "$dir"
    sheet_lines "$dir" || return 1
    echo "Quit krv...bye."
}
