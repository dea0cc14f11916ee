#!/usr/bin/env bash
# web.sh: builds the browser version of vorpaline and serves it for playing on http://127.0.0.1:8000/
set -euo pipefail
cd "$(dirname "$0")/.."
# setup.sh installs what is missing (emscripten, node) and provides build_web.
source tools/setup.sh
build_web
echo "open http://127.0.0.1:8000/ in a browser; Ctrl-C stops the server"
exec node tests/web/serve.mjs "${web_build_dir:-build-web}/site" 8000
