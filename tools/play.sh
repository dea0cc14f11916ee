#!/usr/bin/env bash
# play.sh: install what the game needs, build the game alone, and run it from its data folder.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
install_game_packages
configure_and_build vorpaline
cd "$repo_dir/data"
exec "$build_dir/vorpaline"
