# harden_lib.sh: sourced by the hardening checks. A work folder, copies of the data folder, the files
# the checks put in place of the game's own, running the replay tool on a short run, and judging it.
#
# Set $replay (the replay tool) and $data_dir (the data folder) before sourcing; after it: $work
# (removed on exit), $play_script and $play_ticks.
# shellcheck shell=bash

data_dir=$(cd "$data_dir" && pwd) # the cases change folders
work=$(mktemp -d)
chmod 755 "$work" # an unprivileged user runs the game in here for the unreadable cases
trap 'chmod -R u+rwX "$work" 2>/dev/null; rm -rf "$work"' EXIT

set -o errtrace
trap 'echo "FAIL: ${BASH_SOURCE[0]}:$LINENO: $BASH_COMMAND"' ERR

fail() {
    echo "FAIL: $*"
    exit 1
}

# The run every case plays: the title, "start", the countdown, the first fighters with the ship steering
# and firing, then Escape. Every drawn tick draws the title or the stage, its sprites, text and HUD.
play_script=$work/play.script
cat >"$play_script" <<'EOF'
1           # start a run
- 20
R1 30       # steer right, firing on the first tick
L 40
1 5
UL1 60
~ 10        # late ticks: not drawn
- 290       # the first fighters come in and fire
E           # Escape: quit after this tick
EOF
play_ticks=$(sed 's/#.*//' "$play_script" | awk 'NF { total += (NF > 1 ? $2 : 1) } END { print total }')

# A fresh copy of the data folder at $work/$1, readable by everyone.
copy_data() {
    local dir=$work/$1
    rm -rf "$dir"
    cp -r "$data_dir" "$dir"
    chmod -R a+rX "$dir"
    echo "$dir"
}

# The sheets the game loads from a folder, as its start-up listing names them ("Loading NAME.kvs"). A frame
# list's error message has no line end, so the line may begin after one.
sheet_names() { (cd "$1" && "$replay" /dev/null /dev/null) | sed -n 's/^.*Loading \(.*\)\.kvs$/\1/p'; }

# Whether this process can run a command as an unprivileged user (needed where root reads every file).
can_drop_privileges() {
    [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null && id nobody >/dev/null 2>&1 &&
        setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups true 2>/dev/null
}

# run_game DIR OUT [--nobody] [TOOL OPTIONS...]: plays $play_script in DIR; OUT gets stdout, stderr,
# trace and status. The tool is run from a copy in $work, so that an unprivileged user can run it
# wherever the build is. A run that hangs (on a data file that never ends, say) is stopped after
# $run_limit seconds with status 124.
run_limit=120
run_game() {
    local dir=$1 out=$2
    shift 2
    local prefix=()
    if [ "${1:-}" = --nobody ]; then
        prefix=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups --)
        shift
    fi
    if [ ! -x "$work/bin/vorpaline-replay" ]; then
        mkdir -p "$work/bin"
        cp "$replay" "$work/bin/vorpaline-replay"
        chmod 755 "$work/bin" "$work/bin/vorpaline-replay" "$play_script"
    fi
    rm -rf "$out"
    mkdir -p "$out"
    chmod 777 "$out"
    local status=0
    (cd "$dir" && timeout "$run_limit" "${prefix[@]}" "$work/bin/vorpaline-replay" "$play_script" "$out/trace" "$@" \
        >"$out/stdout" 2>"$out/stderr") || status=$?
    echo "$status" >"$out/status"
}

# check_run OUT LABEL: the run ended normally after every tick of the script, without a sanitizer
# report or any other line on standard error, and said goodbye.
check_run() {
    local out=$1 label=$2
    local status
    status=$(cat "$out/status")
    if grep -qE 'Sanitizer|runtime error:|==[0-9]+==' "$out/stderr"; then
        head -n 40 "$out/stderr"
        fail "$label: sanitizer report"
    fi
    [ "$status" -ne 124 ] || fail "$label: stopped after $run_limit s: the game hung"
    [ "$status" -eq 0 ] || fail "$label: exit status $status; stderr: $(head -c 2000 "$out/stderr")"
    [ ! -s "$out/stderr" ] || fail "$label: standard error: $(head -c 2000 "$out/stderr")"
    # The farewell may end a line begun by a frame's error message, which has no line end of its own.
    [[ "$(tail -n 1 "$out/stdout")" == *"Quit krv...bye." ]] || fail "$label: the last line is not the farewell"
    grep -qxF 'Korvane on SDL Ver 0.8' "$out/stdout" || fail "$label: no banner"
    grep -qxF 'Display Setting...640x480x8 Done.' "$out/stdout" || fail "$label: no video mode"
    local lines
    lines=$(wc -l <"$out/trace")
    [ "$lines" -eq "$play_ticks" ] || fail "$label: $lines trace lines, not $play_ticks"
    grep -q '"scene":"game"' "$out/trace" || fail "$label: the run never started"
    [[ "$(tail -n 1 "$out/trace")" == *'"quit":1'* ]] || fail "$label: Escape did not quit"
}

# expect_line OUT LABEL TEXT / expect_no_line: a whole line of standard output is (or is not) TEXT.
expect_line() { grep -qxF -- "$3" "$1/stdout" || fail "$2: missing the line: $3"; }
expect_no_line() { ! grep -qxF -- "$3" "$1/stdout" || fail "$2: unexpected line: $3"; }

# Little-endian fields for writing bitmaps.
le16() {
    local escapes
    printf -v escapes '\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255))
    printf "$escapes"
}
le32() {
    le16 $(($1 & 0xFFFF))
    le16 $(($1 >> 16 & 0xFFFF))
}

# write_bmp PATH WIDTH HEIGHT DEPTH: a whole, valid bitmap of 8 bits (grey palette, every pixel index 1)
# or 24 bits (every pixel the same light grey).
write_bmp() {
    local path=$1 width=$2 height=$3 depth=$4
    local row=$(((width * depth + 31) / 32 * 4))
    local palette_bytes=0
    [ "$depth" -eq 8 ] && palette_bytes=1024
    local offset=$((54 + palette_bytes))
    {
        printf 'BM'
        le32 $((offset + row * height))
        le32 0
        le32 "$offset"
        le32 40
        le32 "$width"
        le32 "$height"
        le16 1
        le16 "$depth"
        le32 0
        le32 $((row * height))
        le32 2835
        le32 2835
        le32 0
        le32 0
        if [ "$depth" -eq 8 ]; then
            for ((i = 0; i < 256; i++)); do
                le16 $((i | i << 8))
                le16 "$i"
            done
            head -c $((row * height)) /dev/zero | tr '\0' '\1'
        else
            head -c $((row * height)) /dev/zero | tr '\0' '\300'
        fi
    } >"$path"
}

# garbage COUNT SEED: COUNT bytes of deterministic noise, zero bytes and line ends included.
garbage() {
    local count=$1 x=$2 escapes="" byte
    for ((i = 0; i < count; i++)); do
        x=$(((x * 1103515245 + 12345) & 0x7FFFFFFF))
        printf -v byte '\\x%02x' $((x >> 16 & 255))
        escapes+=$byte
    done
    printf "$escapes"
}

# patch PATH OFFSET BYTES...: overwrites bytes of a file in place (BYTES as printf escapes).
patch_bytes() {
    local path=$1 offset=$2
    shift 2
    printf "$*" | dd of="$path" bs=1 seek="$offset" conv=notrunc status=none
}
