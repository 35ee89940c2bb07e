#!/usr/bin/env bash
# Builds and runs every test: the suite plain, then under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the Windows build's tests under Wine, then each fuzz target for a
# bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh

# The layers of src/ first: an include that points up a layer fails the run at once.
echo "=== layers"
python3 scripts/check-layers.py

# The suite runs once more under a comma-decimal locale.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then
    sudo=()
    if [[ $(id -u) -ne 0 ]]; then sudo=(sudo); fi
    "${sudo[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi

jobs=$(nproc)
for preset in debug asan; do
    echo "=== $preset build and tests"
    cmake --preset "$preset"
    cmake --build --preset "$preset" -j "$jobs"
    ctest --preset "$preset" -j "$jobs"
done

echo "=== windows cross-build and tests under Wine"
scripts/windows-tests.sh

if [[ -x scripts/run-fuzzers.sh ]]; then
    echo "=== fuzzing"
    scripts/run-fuzzers.sh "${VELMORA_FUZZ_SECONDS:-60}"
fi
