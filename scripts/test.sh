#!/usr/bin/env bash
# Builds and runs every test: the layers and the formatting of the sources, the suite plain, then
# under AddressSanitizer and UndefinedBehaviorSanitizer (the data tests, which check files rather
# than memory, only plain), then the Windows build's tests under Wine, then each fuzz target for a
# bounded time. Prints the time it took at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$(date +%s)

scripts/deps.sh

# The layers of src/ first: an include that points up a layer fails the run at once.
echo "=== layers"
python3 scripts/check-layers.py

# The house style of .clang-format, which every C++ file keeps.
echo "=== formatting"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

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

elapsed=$(($(date +%s) - started))
echo "=== all tests passed in $((elapsed / 60)) min $((elapsed % 60)) s"
