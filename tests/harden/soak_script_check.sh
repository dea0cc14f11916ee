#!/usr/bin/env bash
# soak_script_check.sh REPLAY_TOOL DATA_DIR SOAK_SCRIPT PRELUDE
#
# The soak's input generator: the same seed gives the same script and another seed another; a script
# holds exactly the ticks asked for; and played, it runs every one of them (it never quits early),
# goes through the whole recorded run to its ending first, and then starts run after run from the title,
# hard runs among them.
set -euo pipefail
replay=$1 data_dir=$2 generator=$3 prelude=$4
source "$(dirname "${BASH_SOURCE[0]}")/harden_lib.sh"

ticks=30000
bash "$generator" 7 "$ticks" "$prelude" >"$work/a.script"
bash "$generator" 7 "$ticks" "$prelude" >"$work/b.script"
bash "$generator" 8 "$ticks" "$prelude" >"$work/c.script"
cmp -s "$work/a.script" "$work/b.script" || fail "the same seed gave two scripts"
! cmp -s "$work/a.script" "$work/c.script" || fail "two seeds gave the same script"
count() { sed 's/#.*//' "$1" | awk 'NF { total += (NF > 1 ? $2 : 1) } END { print total }'; }
[ "$(count "$work/a.script")" -eq "$ticks" ] || fail "the script holds $(count "$work/a.script") ticks, not $ticks"
[ "$(bash "$generator" 3 1 | sed 's/#.*//' | awk 'NF')" = E ] || fail "a script of one tick is not Escape alone"

dir=$(copy_data data)
(cd "$dir" && "$replay" "$work/a.script" "$work/trace" >"$work/stdout" 2>"$work/stderr") ||
    fail "the replay failed: $(head -c 2000 "$work/stderr")"
[ ! -s "$work/stderr" ] || fail "standard error: $(head -c 2000 "$work/stderr")"
[ "$(wc -l <"$work/trace")" -eq "$ticks" ] || fail "played $(wc -l <"$work/trace") ticks of $ticks: it quit early"
[[ "$(tail -n 1 "$work/trace")" == *'"quit":1'* ]] || fail "the last tick did not quit"
grep -q '"phase":2,' "$work/trace" || fail "the recorded run never reached its ending"
runs=$(grep -o '"scene":"[a-z]*"' "$work/trace" | uniq | grep -c game)
[ "$runs" -ge 5 ] || fail "only $runs runs were started"
grep -q '"hard":1' "$work/trace" || fail "no hard run"
grep -q '"drawn":0' "$work/trace" || fail "no late tick"
echo "soak script: $ticks ticks, $runs runs, deterministic"
