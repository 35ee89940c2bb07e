#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when they are missing,
# and any others named as arguments. Safe to run again: it only installs what is not there yet.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang clang-format libclang-rt-14-dev pkg-config python3
    qt6-base-dev libgl-dev libgtest-dev libbenchmark-dev libmuparser-dev
    locales fonts-dejavu-core
    xvfb xauth xdotool xclip
    dbus-daemon at-spi2-core python3-pyatspi orca speech-dispatcher
    units fp-utils libchm-bin libchm-dev poppler-utils dpkg-dev file desktop-file-utils
    appstream lintian
    g++-mingw-w64-x86-64-posix wine wine64 fonts-wine zip unzip wixl
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=()
    if [[ $(id -u) -ne 0 ]]; then sudo=(sudo); fi
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
