#!/usr/bin/env bash
# setup.sh: installs the Debian packages vorpaline needs (when missing), then configures and builds.
# Sourced by play.sh and test.sh; BUILD_DIR and CMAKE_ARGS may be set by the caller.
set -euo pipefail

repo_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${BUILD_DIR:-$repo_dir/build}

packages=(cmake g++ make pkg-config libsdl1.2-compat-dev libgtest-dev libbenchmark-dev
          clang libclang-rt-14-dev xvfb xdotool libx11-dev x11-apps python3 strace)

install_missing_packages() {
    local missing=()
    for package in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

configure_and_build() {
    cmake -S "$repo_dir" -B "$build_dir" ${CMAKE_ARGS:-} >/dev/null
    cmake --build "$build_dir" -j "$(nproc)"
}
