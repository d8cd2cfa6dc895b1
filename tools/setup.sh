#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by run.sh and test.sh: installs the Debian packages that are missing, then
# configures and builds the project in build/.
set -euo pipefail

PACKAGES=(cmake g++ make qt6-base-dev qt6-translations-l10n fonts-ipafont-gothic xdg-utils
          tzdata desktop-file-utils appstream dpkg-dev file lintian exfat-fuse exfatprogs)

install_missing_packages() {
    local missing=()
    for package in "${PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
            || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# build_project DIR [TARGET] [-DOPTION=VALUE...]: configures DIR and builds TARGET, or everything.
build_project() {
    local build_dir=$1 target=()
    shift
    if [ $# -gt 0 ] && [[ $1 != -* ]]; then
        target=(--target "$1")
        shift
    fi
    cmake -S "$PROJECT_ROOT" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$build_dir" --parallel "$(nproc)" "${target[@]}"
}

PROJECT_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
