#!/usr/bin/env bash
# run_pad_replay.sh PAD_REPLAY REPLAY_TOOL COMPARE_TOOL DATA_DIR SCRIPT
#
# Plays SCRIPT in DATA_DIR with its keys on a virtual gamepad, in each of pad_replay's modes, and
# compares each trace with SCRIPT's golden trace (the keys played as keys). The standard output of
# every run, the start-up listing included, must be the replay tool's own, byte for byte: a pad adds
# no line.
set -euo pipefail
pad_replay=$1 replay=$2 compare=$3 data_dir=$4 script=$5
base=${script%.script}
options=$(sed -n 's/^# options: *//p' "$script" | head -n 1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ -f "$base.trace.gz" ]; then
    gzip -dc "$base.trace.gz" >"$work/expected"
else
    cp "$base.trace" "$work/expected"
fi
(cd "$data_dir" && "$replay" "$script" "$work/keys.trace" $options >"$work/keys.out")

for mode in hat axes mixed; do
    (cd "$data_dir" && "$pad_replay" "$mode" "$script" "$work/$mode.trace" $options >"$work/$mode.out")
    echo "pad on the $mode:"
    "$compare" "$work/expected" "$work/$mode.trace"
    cmp "$work/keys.out" "$work/$mode.out" || {
        echo "the standard output with the pad differs from the replay tool's:"
        diff "$work/keys.out" "$work/$mode.out" | head -n 20
        exit 1
    }
done
