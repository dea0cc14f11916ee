#!/usr/bin/env bash
# soak.sh [TICKS]: plays TICKS ticks (default 5,184,000: 24 hours at 60 ticks a second) of generated input
# through the replay tool in a copy of data/: first a recorded whole run (title, countdown, stage, boss,
# staff roll), then run after run of random play from tools/soak/soak_script.sh. The trace goes to
# /dev/null. Reports the ticks per second and the resident memory (VmRSS, VmHWM, RssAnon from
# /proc/PID/status, sampled while it runs), and fails when the tool does not end normally, reports
# anything on standard error, or its anonymous memory grows after start-up: the reading after the first
# 10% of the run against the last one. In a sanitizer build the memory is only reported (the sanitizer's
# own quarantine grows it), and the leak checker judges at exit.
#
# Environment: SOAK_REPLAY (the tool; default build/tools/replay/vorpaline-replay, built when missing),
# SOAK_SEED (default 1), SOAK_TRACE (default /dev/null), SOAK_SAMPLE_SECONDS (default 0.5),
# SOAK_RSS_SLACK_KB (growth allowed for first touches of pages, default 256).
set -euo pipefail

repo_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ticks=${1:-5184000}
replay=${SOAK_REPLAY:-$repo_dir/build/tools/replay/vorpaline-replay}
seed=${SOAK_SEED:-1}
trace=${SOAK_TRACE:-/dev/null}
interval=${SOAK_SAMPLE_SECONDS:-0.5}
slack_kb=${SOAK_RSS_SLACK_KB:-256}
prelude=$repo_dir/tests/replays/full_normal_run.script

if [ ! -x "$replay" ]; then
    source "$repo_dir/tools/setup.sh"
    install_missing_packages
    configure_and_build
fi

# calc EXPRESSION: floating-point arithmetic.
calc() { awk "BEGIN { printf \"%.6f\", $* }"; }

work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
cp -r "$repo_dir/data" "$work/data"

generate_start=$EPOCHREALTIME
bash "$repo_dir/tools/soak/soak_script.sh" "$seed" "$ticks" "$prelude" >"$work/soak.script"
printf 'soak: %d ticks, seed %d; script made in %.1f s\n' "$ticks" "$seed" \
    "$(calc "$EPOCHREALTIME - $generate_start")"

# status_kb FIELD: a field of the tool's /proc status, in kB (empty once it has gone).
status_kb() { awk -v field="$1:" '$1 == field { print $2 }' "/proc/$pid/status" 2>/dev/null || true; }

start=$EPOCHREALTIME
(cd "$work/data" && exec "$replay" "$work/soak.script" "$trace") >"$work/stdout" 2>"$work/stderr" &
pid=$!
while kill -0 "$pid" 2>/dev/null; do
    rss=$(status_kb VmRSS) hwm=$(status_kb VmHWM) anon=$(status_kb RssAnon)
    [ -n "$rss" ] && [ -n "$anon" ] && echo "$(calc "$EPOCHREALTIME - $start") $rss $hwm $anon" >>"$work/samples"
    sleep "$interval"
done
status=0
wait "$pid" || status=$?
pid=""
elapsed=$(calc "$EPOCHREALTIME - $start")

fail() {
    echo "soak FAILED: $*"
    exit 1
}
[ "$status" -eq 0 ] || fail "exit status $status; $(tail -c 2000 "$work/stderr")"
[ ! -s "$work/stderr" ] || fail "standard error: $(head -c 4000 "$work/stderr")"
[[ "$(tail -n 1 "$work/stdout")" == *"Quit krv...bye." ]] || fail "no farewell at the end"
if [ "$trace" != /dev/null ] && [ -f "$trace" ]; then
    [ "$(wc -l <"$trace")" -eq "$ticks" ] || fail "the trace has $(wc -l <"$trace") ticks, not $ticks"
fi
printf 'soak: %d ticks in %.1f s: %.0f ticks per second (%.1f times real time)\n' "$ticks" "$elapsed" \
    "$(calc "$ticks / $elapsed")" "$(calc "$ticks / $elapsed / 60")"

[ -s "$work/samples" ] || fail "no memory reading: the run was too short to sample"
# The first reading after 10% of the run, and the last one.
read -r _ early_rss early_hwm early_anon < <(awk -v t="$(calc "$elapsed / 10")" '$1 >= t { print; exit }' \
    "$work/samples" || true)
read -r _ late_rss late_hwm late_anon < <(tail -n 1 "$work/samples")
if [ -z "${early_rss:-}" ]; then
    read -r _ early_rss early_hwm early_anon < <(head -n 1 "$work/samples")
fi
echo "soak: memory after 10%: VmRSS $early_rss kB, VmHWM $early_hwm kB, RssAnon $early_anon kB"
echo "soak: memory at the end: VmRSS $late_rss kB, VmHWM $late_hwm kB, RssAnon $late_anon kB" \
    "($(wc -l <"$work/samples") readings)"
if [[ "$(ldd "$replay" 2>/dev/null)" == *libasan* ]]; then
    echo "soak: a sanitizer build: memory not judged (the leak checker reported nothing at exit)"
elif [ "$((late_anon - early_anon))" -gt "$slack_kb" ]; then
    fail "anonymous memory grew by $((late_anon - early_anon)) kB after start-up"
else
    echo "soak: memory did not grow after start-up"
fi
