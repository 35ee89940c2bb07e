#!/usr/bin/env bash
# Usage: scripts/run-fuzzers.sh [seconds]
# Builds the fuzz preset and runs every fuzz target below for the given time (default 60 s) from a
# copy of its seed corpus. Fails on the first crash, hang, leak or sanitizer report.
set -euo pipefail

# To add a target: define it in fuzz/CMakeLists.txt as <name>_fuzz, commit its seeds under
# fuzz/corpus/<name>/ (and optionally tokens in fuzz/<name>.dict), and list it here.
targets=(formula_fuzz catalog_fuzz settings_fuzz contents_fuzz check_fuzz value_fuzz lists_fuzz)

seconds="${1:-60}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/fuzz"
cd "$root"

cmake --preset fuzz
# Only the fuzz targets: the rest of the program adds nothing to fuzz and takes long to build
# with the sanitizers.
cmake --build --preset fuzz --target "${targets[@]}"

for target in "${targets[@]}"; do
    name="${target%_fuzz}"
    seeds="$root/fuzz/corpus/$name"
    if [[ ! -d "$seeds" ]]; then
        echo "run-fuzzers: no seed corpus $seeds for $target" >&2
        exit 1
    fi
    # The fuzzer adds what it finds to its corpus, so it works on a copy and the committed seeds
    # stay as they are.
    work="$build/runs/$target"
    rm -rf "$work"
    mkdir -p "$work/corpus" "$work/artifacts"
    cp -R "$seeds/." "$work/corpus/"

    options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048
             -print_final_stats=1 -artifact_prefix="$work/artifacts/")
    # Values are bounded in length and depth: their fuzzer tries inputs far past the bound from
    # the start, rather than growing them slowly.
    if [[ "$target" == value_fuzz ]]; then
        options+=(-max_len=65536 -len_control=0)
    else
        options+=(-max_len=4096)
    fi
    if [[ -f "$root/fuzz/$name.dict" ]]; then
        options+=(-dict="$root/fuzz/$name.dict")
    fi

    echo "run-fuzzers: $target for ${seconds}s"
    if ! "$build/fuzz/$target" "${options[@]}" "$work/corpus"; then
        echo "run-fuzzers: $target failed; reproducer(s) in $work/artifacts:" >&2
        ls -l "$work/artifacts" >&2
        exit 1
    fi
done
echo "run-fuzzers: all targets ran ${seconds}s without a report"
