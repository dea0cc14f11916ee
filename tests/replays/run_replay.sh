#!/usr/bin/env bash
# run_replay.sh REPLAY_TOOL COMPARE_TOOL DATA_DIR SCRIPT
#
# Replays SCRIPT in DATA_DIR and compares its trace with the golden trace beside it (NAME.trace, or
# NAME.trace.gz for the long ones). A line "# options: ..." in the script gives the tool's options.
# With UPDATE_GOLDEN=1 the golden trace is rewritten instead (check the new one by hand first).
set -euo pipefail
replay=$1 compare=$2 data_dir=$3 script=$4
base=${script%.script}
options=$(sed -n 's/^# options: *//p' "$script" | head -n 1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$data_dir" && "$replay" "$script" "$work/trace" $options >"$work/stdout")

if [ "${UPDATE_GOLDEN:-0}" = 1 ]; then
    if [ -f "$base.trace.gz" ]; then gzip -9n <"$work/trace" >"$base.trace.gz"; else cp "$work/trace" "$base.trace"; fi
    echo "updated the golden trace of $(basename "$script")"
    exit 0
fi
if [ -f "$base.trace.gz" ]; then
    gzip -dc "$base.trace.gz" >"$work/expected"
else
    cp "$base.trace" "$work/expected"
fi
"$compare" "$work/expected" "$work/trace"
