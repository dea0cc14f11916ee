#!/usr/bin/env bash
# scores.sh: builds the browser version (build-web/) and the score server (build/), then serves both on
# http://127.0.0.1:8080: the game at /, the score tables at /scores, the API under /api/. Runs are
# kept in scores.db (SQLite) in the working folder. Arguments go to vorpaline-scores, after these
# (a later --db or --port wins); BUILD_DIR and WEB_BUILD_DIR pick other build folders.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
install_scores_packages
build_web
CMAKE_ARGS="${CMAKE_ARGS:-} -DVORPALINE_SCORES=ON" configure_and_build vorpaline-scores
echo "Serving the game at / and its score tables at /scores (Ctrl-C stops)"
exec "$build_dir/scores/vorpaline-scores" --site "$web_build_dir/site" \
    --db sqlite:scores.db "$@"
