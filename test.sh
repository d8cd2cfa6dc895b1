#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Vashtem and runs every test through CTest; then builds
# it again in build-asan/ with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# every test once more there, stopping at the first report.
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"

install_missing_packages
build_project "$PROJECT_ROOT/build" -DBUILD_TESTING=ON -DVASHTEM_BENCH=ON
(cd "$PROJECT_ROOT/build" && ctest --output-on-failure --timeout 600 -j "$(nproc)")

# -O1 keeps the instrumented tests quick; Debug adds the line numbers to the reports.
sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
build_project "$PROJECT_ROOT/build-asan" -DBUILD_TESTING=ON -DVASHTEM_BENCH=ON -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$sanitizers -O1" \
    -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" -DCMAKE_SHARED_LINKER_FLAGS="$sanitizers"
cd "$PROJECT_ROOT/build-asan"
export ASAN_OPTIONS=halt_on_error=1:print_stacktrace=1:detect_leaks=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS="suppressions=$PROJECT_ROOT/tests/lsan.supp:print_suppressions=0"
ctest --output-on-failure --timeout 900 -j "$(nproc)"
