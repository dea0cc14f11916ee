#!/usr/bin/env bash
# play.sh: set up, build, and run the game from its data folder.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
install_missing_packages
configure_and_build
cd "$repo_dir/data"
exec "$build_dir/vorpaline"
