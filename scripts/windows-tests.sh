#!/usr/bin/env bash
# Cross-builds the Windows programs with mingw-w64 and runs their tests under Wine: the core's
# GoogleTest binaries and the console program's cases. Installs nothing (scripts/deps.sh does);
# the Wine prefix is made in the build tree, without any prompt, by the first test.
#   scripts/windows-tests.sh [ctest arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/windows
# The window's decimal comma is tested under LANG=de_DE.UTF-8, which Wine needs the system to have.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then
    sudo=()
    if [[ $(id -u) -ne 0 ]]; then sudo=(sudo); fi
    "${sudo[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
cmake --preset windows
cmake --build --preset windows -j "$(nproc)"
status=0
# One test at a time: a console test starting Wine's desktop without a display while a window
# test starts its own would leave that window unmapped.
ctest --preset windows -j 1 "$@" || status=$?
# The Wine server of the prefix stays a minute after its last program; end it now.
WINEPREFIX="$PWD/$build/wine-prefix" wineserver -k 2>/dev/null || true
exit "$status"
