#!/usr/bin/env bash
# compare_replays.sh DESKTOP_REPLAY WEB_REPLAY_JS DATA_DIR SCRIPT...
#
# The browser platform plays the same game as the desktop: its replay tool, run by node in DATA_DIR,
# gives each SCRIPT's trace (draw log included), saved frames, standard output and exit status byte
# for byte as the desktop's tool does; and both answer bad arguments and a malformed script alike.
set -euo pipefail
# Absolute paths: the tools run in the data folder.
desktop=$(realpath "$1") web=$(realpath "$2") data_dir=$(realpath "$3")
shift 3
work=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

# Runs one tool with the given arguments in the data folder; keeps its output and status under $work/$name.
run() {
    local name=$1 status=0
    shift
    (cd "$data_dir" && "$@" >"$work/$name.out" 2>"$work/$name.err") || status=$?
    echo "$status" >"$work/$name.status"
}

# Compares what the two tools left for one case; frames when both saved some.
same() {
    local case=$1 what
    for what in out err status trace; do
        if [ -f "$work/desktop.$what" ] && ! cmp -s "$work/desktop.$what" "$work/web.$what"; then
            echo "FAIL $case: the $what differs"
            diff <(head -c 2000 "$work/desktop.$what") <(head -c 2000 "$work/web.$what") | head -n 8 || true
            failed=1
            return
        fi
    done
    if [ -d "$work/desktop.frames" ] && ! diff -rq "$work/desktop.frames" "$work/web.frames" >/dev/null; then
        echo "FAIL $case: saved frames differ"
        diff -rq "$work/desktop.frames" "$work/web.frames" | head -n 5
        failed=1
        return
    fi
    echo "ok $case"
}

for script in "$@"; do
    script=$(realpath "$script")
    name=$(basename "$script" .script)
    rm -rf "$work"/desktop.* "$work"/web.*
    mkdir -p "$work/desktop.frames" "$work/web.frames"
    run desktop "$desktop" "$script" "$work/desktop.trace" --draws --bmp "$work/desktop.frames" --every 45
    run web node "$web" "$script" "$work/web.trace" --draws --bmp "$work/web.frames" --every 45
    frames=$(find "$work/desktop.frames" -name '*.bmp' | wc -l)
    [ "$frames" -gt 0 ] || { echo "FAIL $name: no frames saved"; failed=1; continue; }
    same "$name ($frames frames)"
done

# Usage errors, a malformed script and an unreadable one.
printf 'U 3\nZ\n' >"$work/malformed.script"
for case in "no arguments|" "bad option|$script|-|--frames" "malformed script|$work/malformed.script|-" \
    "missing script|$work/none.script|-" "bad every|$script|-|--bmp|$work|--every|0"; do
    IFS='|' read -r -a words <<<"$case"
    rm -rf "$work"/desktop.* "$work"/web.*
    run desktop "$desktop" "${words[@]:1}"
    run web node "$web" "${words[@]:1}"
    same "${words[0]}"
done
exit $failed
