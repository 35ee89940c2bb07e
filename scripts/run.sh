#!/usr/bin/env bash
# Builds Velmora and starts it in a working folder that holds the delivered catalog, unit names and
# help.
# The folder (build/release/workdir) keeps what the program writes between runs; the delivered
# files are copied in only where they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display is available (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
    echo "Velmora is a desktop program: start it from a graphical session." >&2
    exit 1
fi

scripts/deps.sh
cmake --preset release
cmake --build --preset release -j "$(nproc)"

workdir=build/release/workdir
mkdir -p "$workdir"
[[ -e "$workdir/conv.txt" ]] || cp data/conv.txt "$workdir/conv.txt"
[[ -e "$workdir/names.txt" ]] || cp data/names.txt "$workdir/names.txt"
[[ -e "$workdir/help.chm" || ! -e build/release/help.chm ]] || cp build/release/help.chm "$workdir/help.chm"
cd "$workdir"
exec ../velmora
