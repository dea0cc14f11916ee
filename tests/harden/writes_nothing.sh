#!/usr/bin/env bash
# writes_nothing.sh REPLAY_TOOL DATA_DIR
#
# The game writes no file. A copy of DATA_DIR without any write bit is played in, with the replay tool's
# trace written outside it:
# - under strace, no call of the run opens a file for writing or creates, renames, removes, links or
#   changes one, except the tool's own trace;
# - as an unprivileged user (root writes through missing write bits), the run is the same as anywhere;
# - afterwards the copy is what it was, byte for byte, with the same times and modes.
set -euo pipefail
replay=$1 data_dir=$2
source "$(dirname "${BASH_SOURCE[0]}")/harden_lib.sh"

dir=$(copy_data read-only)
chmod -R a-w "$dir"
snapshot() {
    (cd "$1" && find . -printf '%p %y %s %m %T@\n' | sort && find . -type f -exec sha256sum {} + | sort)
}
snapshot "$dir" >"$work/before"

checks=0
if command -v strace >/dev/null; then
    # The leak checker cannot run under ptrace: a sanitizer build runs without it here.
    strace_log=$work/strace.log
    run_game "$dir" "$work/out" --draws
    mv "$work/out" "$work/plain"
    mkdir -p "$work/out"
    chmod 777 "$work/out"
    status=0
    (cd "$dir" && ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 strace -f -qq -e trace=%file \
        -o "$strace_log" "$work/bin/vorpaline-replay" "$play_script" "$work/out/trace" --draws \
        >"$work/out/stdout" 2>"$work/out/stderr") || status=$?
    echo "$status" >"$work/out/status"
    check_run "$work/out" "under strace"
    cmp -s "$work/plain/trace" "$work/out/trace" || fail "the run under strace differs from the plain run"
    grep -q 'openat\?(.*play.script' "$strace_log" || fail "strace saw no file calls: $(head -c 500 "$strace_log")"
    writes=$(grep -E '(open|openat|openat2|creat)\(.*(O_WRONLY|O_RDWR|O_CREAT|O_TRUNC|O_APPEND)' "$strace_log" |
        grep -vF "\"$work/out/trace\"" || true)
    changes=$(grep -E '^[0-9]+ +(mkdir|mkdirat|rmdir|rename|renameat|renameat2|unlink|unlinkat|link|linkat|symlink|symlinkat|truncate|chmod|fchmodat|chown|lchown|fchownat|utime|utimes|utimensat|futimesat|mknod|mknodat|setxattr|lsetxattr|removexattr|lremovexattr)\(' \
        "$strace_log" || true)
    [ -z "$writes" ] || fail "opened for writing: $writes"
    [ -z "$changes" ] || fail "changed the file system: $changes"
    echo "strace: $(wc -l <"$strace_log") file calls, none writing but the trace"
    checks=$((checks + 1))
else
    echo "SKIP strace: strace is not installed"
fi

if [ "$(id -u)" -ne 0 ]; then
    run_game "$dir" "$work/out" --draws
    check_run "$work/out" "read-only folder"
    checks=$((checks + 1))
elif can_drop_privileges; then
    run_game "$dir" "$work/out" --nobody --draws
    check_run "$work/out" "read-only folder, as nobody"
    checks=$((checks + 1))
else
    echo "SKIP the unprivileged run: root writes through missing write bits, and no unprivileged user can be had here"
fi

snapshot "$dir" >"$work/after"
diff "$work/before" "$work/after" || fail "the data folder changed"
[ "$checks" -gt 0 ] || fail "neither strace nor an unprivileged user could be had: nothing was shown"
echo "writes nothing: $checks runs, the data folder unchanged"
