#!/usr/bin/env bash
# web_test.sh: builds the browser version and proves it plays the desktop's game: the replay tool built
# for the browser platform, run by node, against the desktop's on every checked-in replay; then the page
# in Debian's chromium, driven through Playwright. BUILD_DIR is the desktop build (built when missing).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
build_web
install_packages "${browser_test_packages[@]}"
install_node_modules
[ -x "$build_dir/tools/replay/vorpaline-replay" ] || configure_and_build
desktop_replay=$build_dir/tools/replay/vorpaline-replay

bash "$repo_dir/tests/web/compare_replays.sh" "$desktop_replay" \
    "$web_build_dir/tools/replay/vorpaline-replay.js" "$repo_dir/data" "$repo_dir"/tests/replays/*.script

# What the page must show: the desktop's start-up listing for the same data, and its frames.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$repo_dir/data" && "$desktop_replay" /dev/null /dev/null) | sed '$d' >"$work/listing"
bash "$repo_dir/tests/web/make_reference.sh" "$desktop_replay" "$work/reference" >/dev/null
node "$repo_dir/tests/web/browser_test.mjs" "$web_build_dir/site" "$work/listing" --reference "$work/reference" \
    ${WEB_SCREENSHOTS:+--screenshots "$WEB_SCREENSHOTS"}
# Replays between the two: a session played in the page against the desktop tool, links, bad replays.
node "$repo_dir/tests/web/replay_test.mjs" "$web_build_dir/site" "$desktop_replay" "$repo_dir/data" "$repo_dir/tests/replays"
# The page served by the score server: a session played, submitted, shown on /scores and watched from it.
[ -x "$build_dir/scores/vorpaline-scores" ] || cmake --build "$build_dir" --target vorpaline-scores
node "$repo_dir/tests/web/scores_test.mjs" "$web_build_dir/site" "$build_dir/scores/vorpaline-scores"
