#!/usr/bin/env bash
# web_bench.sh: figures of the browser version: the full-pool logic tick in wasm under node beside the
# same tick native (Release builds both, one run each, and their ratio), then the site's sizes, the time
# to the first title frame and the CPU use while playing in headless chromium (web_figures.mjs).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../setup.sh"
install_missing_packages
bench_build=${BUILD_DIR:-$repo_dir/build-bench}
cmake -S "$repo_dir" -B "$bench_build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$bench_build" -j "$(nproc)" --target vorpaline-tick-bench >/dev/null
build_web >/dev/null
install_node_modules

ticks=${TICKS:-5000}
native=$("$bench_build/tools/bench/vorpaline-tick-bench" "$ticks")
wasm=$(node "$web_build_dir/vorpaline-tick-bench.js" "$ticks")
echo "native: $native"
echo "wasm:   $wasm"
median() { sed -n 's/.*median \([0-9.]*\) us.*/\1/p' <<<"$1"; }
awk -v w="$(median "$wasm")" -v n="$(median "$native")" \
    'BEGIN { printf "wasm under node / native, median full-pool tick: %.2f\n", w / n }'
node "$repo_dir/tools/bench/web_figures.mjs" "$web_build_dir/site"
