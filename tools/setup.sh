#!/usr/bin/env bash
# setup.sh: installs the Debian packages vorpaline needs (when missing), then configures and builds the
# desktop game (configure_and_build) or the browser version (build_web). Sourced by play.sh, test.sh and
# web.sh; BUILD_DIR, WEB_BUILD_DIR and CMAKE_ARGS may be set by the caller.
set -euo pipefail

repo_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${BUILD_DIR:-$repo_dir/build}
web_build_dir=${WEB_BUILD_DIR:-$repo_dir/build-web}

# What the game alone needs (the play command), what the score server adds, then what the tests and
# benchmarks add (the server's tests run a PostgreSQL cluster of their own).
game_packages=(cmake g++ make pkg-config libsdl1.2-compat-dev)
scores_packages=(libcpp-httplib-dev libsqlite3-dev libssl-dev libpq-dev)
packages=("${game_packages[@]}" libgtest-dev libbenchmark-dev libsdl2-dev
          clang libclang-rt-14-dev xvfb xdotool libx11-dev x11-apps python3 strace
          dpkg-dev file lintian appstream desktop-file-utils
          "${scores_packages[@]}" postgresql)
web_packages=(cmake make emscripten)
browser_test_packages=(chromium)

install_missing_packages() {
    install_packages "${packages[@]}" "$@"
}

install_game_packages() {
    install_packages "${game_packages[@]}"
}

install_scores_packages() {
    install_packages "${game_packages[@]}" "${scores_packages[@]}"
}

# Installs those of the named packages that are not installed yet.
install_packages() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Configures the build folder and builds the named targets, or everything when none is named.
configure_and_build() {
    cmake -S "$repo_dir" -B "$build_dir" ${CMAKE_ARGS:-} >/dev/null
    cmake --build "$build_dir" -j "$(nproc)" ${1:+--target "$@"}
}

# build_in DIR [CMAKE OPTION...]: configures another build folder with the options and builds it all.
build_in() {
    local dir=$1
    shift
    cmake -S "$repo_dir" -B "$dir" ${CMAKE_ARGS:-} "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}

# The browser version: Debian's emscripten, and node (Debian's, unless some node is already installed:
# emscripten runs with either).
install_web_packages() {
    local extra=()
    command -v node >/dev/null 2>&1 || extra+=(nodejs)
    install_packages "${web_packages[@]}" "${extra[@]}"
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
    command -v npm >/dev/null 2>&1 || install_packages npm
    local installed=$repo_dir/node_modules/.package-lock.json
    if [ ! -f "$installed" ] || [ "$repo_dir/package-lock.json" -nt "$installed" ]; then
        (cd "$repo_dir" && npm ci --no-audit --no-fund)
    fi
}
