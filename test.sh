#!/usr/bin/env bash
# Installs what is missing, builds Vashtem and runs every test through CTest.
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"

install_missing_packages
build_project "$PROJECT_ROOT/build"
cd "$PROJECT_ROOT/build"
ctest --output-on-failure --timeout 600 -j "$(nproc)"
