#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Debian package of an already built tree with cpack, into a temporary folder,
# and checks it: its name, the files it installs, its Depends and Recommends, the menu
# entry, the AppStream metadata as installed, lintian without errors or warnings, and that
# a second package made later is the same, byte for byte.
# Usage: check-package.sh CPACK BUILD_DIR VERSION
# Exits 77, which CTest reports as skipped, when a tool it needs is missing.
set -euo pipefail

cpack=$1 build_dir=$2 version=$3

for tool in dpkg-deb lintian dpkg-shlibdeps file; do
    if ! command -v "$tool" >/dev/null; then
        echo "Skipped: $tool is not installed (apt-get install dpkg-dev lintian file)"
        exit 77
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! "$cpack" --config "$build_dir/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "FAIL: cpack could not make the package"
    exit 1
fi

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

deb=$work/vashtem_${version}_$(dpkg --print-architecture).deb
if [ ! -f "$deb" ]; then
    echo "FAIL: no $(basename "$deb"); cpack made:"
    ls "$work"
    exit 1
fi

icon=io.github.vashtem.Vashtem
expected_files="./usr/bin/vashtem
./usr/share/applications/$icon.desktop
./usr/share/doc/vashtem/changelog.gz
./usr/share/doc/vashtem/copyright"
for size in 16 32 48 64 128 256; do
    expected_files+=$'\n'"./usr/share/icons/hicolor/${size}x$size/apps/$icon.png"
done
expected_files+="
./usr/share/icons/hicolor/scalable/apps/$icon.svg
./usr/share/man/man1/vashtem.1.gz
./usr/share/metainfo/$icon.metainfo.xml
./usr/share/vashtem/screenshot.png
./usr/share/vashtem/説明書.html"
# Every file, not the folders; the name is the last field and has no spaces here.
actual_files=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | LC_ALL=C sort)
if ! diff <(LC_ALL=C sort <<<"$expected_files") <(echo "$actual_files") >"$work/files.diff"; then
    fail "the package's files differ from the expected ones (< expected, > packaged):"
    cat "$work/files.diff"
fi

# Each wanted package must be a whole name in the list, the shared libraries found by
# dpkg-shlibdeps as well as the ones named by hand.
depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
depends_names=$(sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$depends")
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 \
               "fonts-ipafont-gothic | fonts-noto-cjk" qt6-qpa-plugins qt6-translations-l10n xdg-utils; do
    grep -qxF "$package" <<<"$depends_names" || fail "Depends lacks $package"
done
[ "$(dpkg-deb --field "$deb" Recommends)" = qt6-wayland ] || fail "Recommends is not qt6-wayland"
for field in Maintainer Section Description; do
    [ -n "$(dpkg-deb --field "$deb" "$field")" ] || fail "the $field field is empty"
done
[ "$(dpkg-deb --field "$deb" Section)" = utils ] || fail "Section is not utils"

# The entry is written while installing; it must name the packaged paths, not the staging
# folder cpack installed into. It starts the program in the home folder, and names the
# window's class, which is the entry's id.
entry=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO "./usr/share/applications/$icon.desktop")
grep -qx 'Exec="/usr/bin/vashtem"' <<<"$entry" || fail "the menu entry's Exec is not /usr/bin/vashtem"
! grep -q '^Path=' <<<"$entry" || fail "the menu entry sets a working folder (Path)"
grep -qx "StartupWMClass=$icon" <<<"$entry" || fail "the menu entry's StartupWMClass is not $icon"

# The metadata's launchable must be a desktop entry the package ships.
if command -v appstreamcli >/dev/null; then
    dpkg-deb -x "$deb" "$work/root"
    appstreamcli validate-tree --no-net --strict "$work/root" >"$work/appstream.log" 2>&1 \
        || { cat "$work/appstream.log"; fail "the installed AppStream metadata is not valid"; }
fi

# Information tags, such as the hardening ones of a build without Debian's flags, pass.
lintian_status=0
lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 || lintian_status=$?
grep -v '^running with root privileges' "$work/lintian.log" || true
[ "$lintian_status" -eq 0 ] || fail "lintian reports errors or warnings"

# Made again a second later, when every file installed anew is a second younger.
sleep 1
if "$cpack" --config "$build_dir/CPackConfig.cmake" -G DEB -B "$work/again" >"$work/cpack.log" 2>&1; then
    cmp "$deb" "$work/again/$(basename "$deb")" || fail "a second package of the same build differs"
else
    cat "$work/cpack.log"
    fail "cpack could not make the package a second time"
fi

[ "$failures" -eq 0 ] || exit 1
echo "$(basename "$deb"): files, Depends, Recommends, menu entry, metadata, lintian and a second package are as expected"
