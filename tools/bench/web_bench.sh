#!/usr/bin/env bash
# web_bench.sh: figures of the browser version: the full-pool logic tick in wasm under node beside the
# same tick native (Release builds of both), then the site's sizes, the time to the first title frame
# and the CPU use while playing in headless chromium (web_figures.mjs).
#
# The tick benchmark warms up and times its rounds itself (tools/bench/tick_bench.cpp); here the two
# builds run in turn, native then wasm, PAIRS times, so that both meet the same load as the machine's
# speed drifts, and the ratio is taken pair by pair.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../setup.sh"
install_missing_packages
bench_build=${BUILD_DIR:-$repo_dir/build-bench}
cmake -S "$repo_dir" -B "$bench_build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$bench_build" -j "$(nproc)" --target vorpaline-tick-bench >/dev/null
build_web >/dev/null
install_node_modules

ticks=${TICKS:-1000} rounds=${ROUNDS:-5} pairs=${PAIRS:-5}
median() { sed -n 's/.*median \([0-9.]*\) us.*/\1/p' <<<"$1"; }
ratios=()
for pair in $(seq "$pairs"); do
    native=$("$bench_build/vorpaline-tick-bench" "$ticks" "$rounds")
    wasm=$(node "$web_build_dir/vorpaline-tick-bench.js" "$ticks" "$rounds")
    echo "pair $pair native: $native"
    echo "pair $pair wasm:   $wasm"
    ratios+=("$(awk -v w="$(median "$wasm")" -v n="$(median "$native")" 'BEGIN { printf "%.3f", w / n }')")
done
sorted=$(printf '%s\n' "${ratios[@]}" | sort -n)
echo "wasm under node / native, median full-pool tick, pair by pair: ${ratios[*]}"
echo "median of the $pairs ratios: $(sed -n "$(((pairs + 1) / 2))p" <<<"$sorted")"
node "$repo_dir/tools/bench/web_figures.mjs" "$web_build_dir/site"
