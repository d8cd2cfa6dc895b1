#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Vashtem for release in build-release/, with the compiler and linker flags Debian
# builds its packages with, and makes the Debian package with CPack. The package is put in
# this folder; its path is the last line printed.
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"

install_missing_packages

cd "$PROJECT_ROOT"
build_dir=$PROJECT_ROOT/build-release
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# The changelog's date stands for the build time: rcc stamps the pictures with it, and
# cpack every packaged file, so that two builds of one commit give the same package.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(dpkg-parsechangelog -l packaging/changelog -STimestamp)}
build_project "$build_dir" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DVASHTEM_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"

# cpack names the package vashtem_<version>_<arch>.deb; the folder holds only this one.
rm -rf "$build_dir/package"
cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$build_dir/package" >&2
packages=("$build_dir"/package/vashtem_*.deb)
mv -f "${packages[0]}" "$PROJECT_ROOT/"
echo "$PROJECT_ROOT/$(basename "${packages[0]}")"
