#!/usr/bin/env bash
# bench.sh: installs what is missing, configures a Release build in build-bench/, builds vorpaline-bench
# and runs it from data/. Arguments go to vorpaline-bench (e.g. --benchmark_filter=Logic); BUILD_DIR
# picks another build folder.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../setup.sh"
install_missing_packages
bench_build=${BUILD_DIR:-$repo_dir/build-bench}
cmake -S "$repo_dir" -B "$bench_build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$bench_build" -j "$(nproc)" --target vorpaline-bench
cd "$repo_dir/data"
exec "$bench_build/tools/bench/vorpaline-bench" "$@"
