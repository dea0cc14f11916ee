#!/usr/bin/env bash
# check_replay_tool.sh REPLAY_TOOL DATA_DIR SCRIPT
#
# The replay tool's own guarantees, on one script of the stage:
# - the same script twice gives the same trace, byte for byte (with the draw log);
# - the same script with late ticks (~) gives the same state tick by tick: drawing changes no state
#   while the stage runs, so only the "drawn" flags and the draw logs differ;
# - a malformed script stops the tool before the first tick with exit status 2 and its line number;
# - unknown options are a usage error (status 2).
set -euo pipefail
replay=$1 data_dir=$2 script=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cd "$data_dir"
"$replay" "$script" "$work/a" --draws >/dev/null
"$replay" "$script" "$work/b" --draws >/dev/null
cmp "$work/a" "$work/b" || fail "two runs of the same script differ"

# Every entry after the first (which starts the run) becomes late.
awk '/^#/ || NF == 0 || !started { if (NF && !/^#/) started = 1; print; next } { $1 = ($1 == "-" ? "~" : $1 "~"); print }' "$script" >"$work/late.script"
"$replay" "$work/late.script" "$work/late" >/dev/null
"$replay" "$script" "$work/plain" >/dev/null
grep -q '"drawn":0' "$work/late" || fail "the late script drew every tick"
sed 's/"drawn":[01],//' "$work/late" >"$work/late.state"
sed 's/"drawn":[01],//' "$work/plain" >"$work/plain.state"
cmp "$work/late.state" "$work/plain.state" || fail "late ticks changed the game's state"

printf -- '- 2\n# a comment\nUZ 3\n' >"$work/bad.script"
set +e
"$replay" "$work/bad.script" "$work/bad.trace" >"$work/bad.out" 2>"$work/bad.err"
status=$?
set -e
[ "$status" -eq 2 ] || fail "a malformed script gave status $status, not 2"
grep -q ':3:' "$work/bad.err" || fail "the message does not name line 3: $(cat "$work/bad.err")"
[ ! -s "$work/bad.out" ] || fail "the tool started up before rejecting the script"

set +e
"$replay" "$script" "$work/x" --frobnicate >/dev/null 2>&1
status=$?
set -e
[ "$status" -eq 2 ] || fail "an unknown option gave status $status, not 2"
echo "replay tool checks passed"
