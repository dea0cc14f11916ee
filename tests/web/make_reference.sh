#!/usr/bin/env bash
# make_reference.sh: saves the desktop game's frames that the browser test compares the canvas with.
# Usage: bash tests/web/make_reference.sh REPLAY_TOOL OUT_DIR
# REPLAY_TOOL is the desktop build's vorpaline-replay; it runs in data/ with the shipped krv.ini.
set -euo pipefail
repo_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
replay=$(realpath "$1")
out=$(realpath -m "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out" "$work/title" "$work/countdown"

# The title: the cursor shows its 4 frames in turn, each for 8 drawn frames.
printf -- '- 32\n' >"$work/title.script"
# The countdown: button 1 on the first tick starts a run; by tick 150 it shows "3", "2" and "1".
printf -- '1\n- 159\n' >"$work/countdown.script"

cd "$repo_dir/data"
"$replay" "$work/title.script" "$work/title.trace" --bmp "$work/title" --every 8 >/dev/null
"$replay" "$work/countdown.script" "$work/countdown.trace" --bmp "$work/countdown" --every 150 >/dev/null

for frame in 0 1 2 3; do
    gzip -9n <"$work/title/$(printf 'tick-%06d.bmp' $((frame * 8)))" >"$out/title-$frame.bmp.gz"
done
gzip -9n <"$work/countdown/tick-000150.bmp" >"$out/countdown.bmp.gz"
echo "reference frames written to $out"
