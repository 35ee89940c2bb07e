#!/usr/bin/env bash
# Cross-builds the Windows programs with mingw-w64 and runs their tests under Wine: the core's
# GoogleTest binaries and the console program's cases. Installs nothing (scripts/deps.sh does);
# the Wine prefix is made in the build tree, without any prompt, by the first test.
#   scripts/windows-tests.sh [ctest arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/windows
cmake --preset windows
cmake --build --preset windows -j "$(nproc)"
status=0
# One test at a time: a console test starting Wine's desktop without a display while a window
# test starts its own would leave that window unmapped.
ctest --preset windows -j 1 "$@" || status=$?
# The Wine server of the prefix stays a minute after its last program; end it now.
WINEPREFIX="$PWD/$build/wine-prefix" wineserver -k 2>/dev/null || true
exit "$status"
