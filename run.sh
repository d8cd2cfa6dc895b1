#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Vashtem and starts it.
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"

install_missing_packages
# Only the program: no tests, no benchmark.
build_project "$PROJECT_ROOT/build" vashtem -DVASHTEM_BENCH=OFF

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: Vashtem is a desktop program and needs one." >&2
    echo "Start it from a desktop session, or under a virtual display:" >&2
    echo "    sudo apt-get install xvfb && xvfb-run -a ./run.sh" >&2
    exit 1
fi

# The Help menu opens the manual from the working folder.
cd "$PROJECT_ROOT/docs"
exec "$PROJECT_ROOT/build/src/vashtem"
