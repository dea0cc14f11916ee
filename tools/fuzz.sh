#!/usr/bin/env bash
# fuzz.sh: builds the libFuzzer targets with clang and runs each for FUZZ_SECONDS (default 60) on a copy
# of its seed corpus in tests/fuzz/corpus/ (the repository's corpus never grows here). Fails on any
# crash, leak, time-out, memory blow-up or sanitizer report, and prints the executions reached per target.
# BUILD_DIR (default build-fuzz/) is where the clang build goes.
set -euo pipefail

repo_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${BUILD_DIR:-$repo_dir/build-fuzz}
seconds=${FUZZ_SECONDS:-60}
targets=(settings palette sheet_names frame_list bitmap script)

cmake -S "$repo_dir" -B "$build_dir" -DCMAKE_CXX_COMPILER=clang++ -DVORPALINE_FUZZ=ON \
    -DVORPALINE_TESTS=OFF -DVORPALINE_BENCH=OFF >/dev/null
cmake --build "$build_dir" -j "$(nproc)" --target "${targets[@]/#/fuzz_}" >/dev/null

work=$(mktemp -d)
# The bitmap target rewrites its input file at every execution: in memory where the machine has it.
scratch=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work" "$scratch"' EXIT
export FUZZ_WORK_DIR=$scratch
failed=0 passed=0
for target in "${targets[@]}"; do
    # Absolute paths: the bitmap target works in a folder of its own once it has started.
    corpus=$work/$target/corpus artifacts=$work/$target/artifacts log=$work/$target/log
    mkdir -p "$artifacts"
    cp -r "$repo_dir/tests/fuzz/corpus/$target" "$corpus"
    status=0
    "$build_dir/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1 || status=$?
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    if [ "$status" -ne 0 ] || [ -n "$(ls -A "$artifacts")" ] ||
        grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:|^SUMMARY:' "$log"; then
        echo "fuzz_$target: FAILED (status $status) after ${executions:-?} executions"
        grep -E -A 30 'ERROR:|runtime error:|check failed' "$log" | head -n 60 || tail -n 30 "$log"
        for artifact in "$artifacts"/*; do
            [ -e "$artifact" ] || continue
            echo "--- input $(basename "$artifact") (first bytes):"
            od -A d -t x1z "$artifact" | head -n 8
        done
        failed=$((failed + 1))
    else
        echo "fuzz_$target: ${executions:-?} executions in ${seconds} s, no fault"
        passed=$((passed + 1))
    fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
