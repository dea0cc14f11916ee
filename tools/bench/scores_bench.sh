#!/usr/bin/env bash
# scores_bench.sh: the score server's figures. Configures a Release build in build-bench/ (BUILD_DIR
# picks another), builds the server and the verification benchmark, times the verification of the
# checked-in whole runs on one core, then starts a throwaway PostgreSQL cluster and measures the server
# through HTTP against SQLite and PostgreSQL (tools/bench/scores_bench.py). Prints figures only.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../setup.sh"
install_scores_packages
install_packages postgresql python3 util-linux
bench_build=${BUILD_DIR:-$repo_dir/build-bench}
cmake -S "$repo_dir" -B "$bench_build" -DCMAKE_BUILD_TYPE=Release -DVORPALINE_BENCH=ON -DVORPALINE_SCORES=ON >/dev/null
cmake --build "$bench_build" -j "$(nproc)" --target vorpaline-scores vorpaline-scores-verify-bench

replays=$repo_dir/tests/replays
work=$(mktemp -d)
cluster_state=$work/postgres_cluster
trap 'bash "$repo_dir/tests/server/postgres_cluster.sh" stop "$cluster_state"; rm -rf "$work"' EXIT

# The short run of the HTTP figures: game_over.script with every tick late.
awk '/^[^#[:space:]]/ { sub(/^-/, ""); sub(/^[^ #]*/, "&~") } { print }' "$replays/game_over.script" >"$work/late_game_over.script"
echo "Verification in one thread, pinned to core 0 (best and median of 5):"
taskset -c 0 "$bench_build/tools/bench/vorpaline-scores-verify-bench" \
    "$replays/full_normal_run.script" "$replays/full_hard_run.script" "$replays/game_over.script" \
    "$work/late_game_over.script" --repeat 5

bash "$repo_dir/tests/server/postgres_cluster.sh" start "$cluster_state"
python3 "$repo_dir/tools/bench/scores_bench.py" --server "$bench_build/scores/vorpaline-scores" \
    --data "$repo_dir/data" --replays "$replays" --cluster "$cluster_state"
