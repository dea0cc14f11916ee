#!/usr/bin/env bash
# setup.sh: installs the Debian packages vorpaline needs (when missing), then configures and builds the
# desktop game (configure_and_build) or the browser version (build_web). Sourced by play.sh, test.sh and
# web.sh; BUILD_DIR, WEB_BUILD_DIR and CMAKE_ARGS may be set by the caller.
set -euo pipefail

repo_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${BUILD_DIR:-$repo_dir/build}
web_build_dir=${WEB_BUILD_DIR:-$repo_dir/build-web}

packages=(cmake g++ make pkg-config libsdl1.2-compat-dev libgtest-dev libbenchmark-dev
          clang libclang-rt-14-dev xvfb xdotool libx11-dev x11-apps python3 strace)
web_packages=(emscripten chromium)

install_missing_packages() {
    local missing=() wanted=("${packages[@]}" "$@")
    for package in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# configure_and_build [DIR [CMAKE OPTION...]]: the build in DIR (default the build folder) with the options.
configure_and_build() {
    local dir=${1:-$build_dir}
    if [ $# -gt 0 ]; then shift; fi
    cmake -S "$repo_dir" -B "$dir" ${CMAKE_ARGS:-} "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}

# The browser version: Debian's emscripten and chromium, and node with npm (Debian's, unless some node
# is already installed: emscripten runs with either).
install_web_packages() {
    local extra=("${web_packages[@]}")
    command -v node >/dev/null 2>&1 || extra+=(nodejs)
    command -v npm >/dev/null 2>&1 || extra+=(npm)
    install_missing_packages "${extra[@]}"
}

# emcc's JavaScript optimizer needs Debian's acorn module, which a node from elsewhere does not look for.
build_web() {
    install_web_packages
    export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
    emcmake cmake -S "$repo_dir" -B "$web_build_dir" >/dev/null
    cmake --build "$web_build_dir" -j "$(nproc)"
}

# The browser tests' one npm package, at the version the lock file pins; nothing else is fetched.
install_node_modules() {
    local installed=$repo_dir/node_modules/.package-lock.json
    if [ ! -f "$installed" ] || [ "$repo_dir/package-lock.json" -nt "$installed" ]; then
        (cd "$repo_dir" && npm ci --no-audit --no-fund)
    fi
}
