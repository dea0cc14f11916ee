#!/usr/bin/env bash
# test.sh: set up, build, and run every test: the unit tests, the replays and the real-window tests,
# the headless suite once more against classic SDL 1.2, then again in a sanitizer build, then the fuzzers,
# then the browser version: its replays against the desktop's, and the page in chromium. The score
# server's tests (label "server") start a throwaway PostgreSQL cluster of their own and stop it after.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
install_missing_packages
CMAKE_ARGS="-DVORPALINE_TESTS=ON -DVORPALINE_BENCH=ON -DVORPALINE_SCORES=ON" configure_and_build
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
BUILD_DIR=$build_dir bash "$repo_dir/tools/classic_sdl_check.sh"

build_in "$repo_dir/build-sanitize" -DVORPALINE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
ctest --test-dir "$repo_dir/build-sanitize" --output-on-failure -j "$(nproc)" -LE window
BUILD_DIR=$repo_dir/build-fuzz bash "$repo_dir/tools/fuzz.sh"
BUILD_DIR=$build_dir bash "$repo_dir/tools/web_test.sh"
