#!/usr/bin/env bash
# Takes the pictures of the window made larger, Find with long matches and Options, each in the
# light and the dark colour scheme, under Xvfb: docs/window-large-{light,dark}.png,
# docs/find-long-{light,dark}.png and docs/options-{light,dark}.png. VELMORA names the program
# (default: the release build). Run it again after a change to how these look.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ "${1:-}" == --in-x-server ]]; then
    scratch=$2 scheme=$3
    shot() { # window name, picture
        local window
        window=$(xdotool search --sync --onlyvisible --name "$1" | tail -n 1)
        sleep 0.7
        import -window "$window" "docs/$2-$scheme.png"
    }
    env=(XDG_CONFIG_HOME="$scratch/config-$scheme")
    [[ $scheme == dark ]] && env+=(QT_QPA_PLATFORMTHEME=qt6ct)
    (cd "$scratch/work" && exec env "${env[@]}" "$program") &
    pid=$!
    window=$(xdotool search --sync --onlyvisible --name '^Velmora$' | head -n 1)
    for _ in $(seq 50); do
        xdotool windowfocus "$window" 2>/dev/null || true
        [[ $(xdotool getwindowfocus) == "$window" ]] && break
        sleep 0.1
    done
    xdotool key --delay 80 Tab Tab
    xdotool type --delay 50 '12'
    xdotool key --delay 80 shift+Tab shift+Tab
    shot '^Velmora$' window-large
    xdotool key ctrl+f
    xdotool search --sync --onlyvisible --name '^Find Conversion$' >/dev/null
    xdotool type --delay 40 'per gallon'
    shot '^Find Conversion$' find-long
    xdotool key Escape
    sleep 0.3
    xdotool windowfocus "$window" 2>/dev/null || true
    xdotool key alt+c
    sleep 0.3
    xdotool key o
    shot '^Options$' options
    xdotool key Escape
    sleep 0.3
    kill "$pid"
    exit
fi

scripts/deps.sh qt6ct imagemagick
program=${VELMORA:-}
if [[ -z $program ]]; then
    cmake --preset release >/dev/null
    cmake --build --preset release -j "$(nproc)" >/dev/null
    program=build/release/velmora
fi
export program=$(realpath "$program")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/config-dark/qt6ct" "$scratch/config-light" "$scratch/work"
cp data/conv.txt data/names.txt "$scratch/work/"
# Larger than the smallest size, as a user would leave it.
printf '860 640\r\n' >"$scratch/work/window.ini"
cat >"$scratch/config-dark/qt6ct/qt6ct.conf" <<'CONF'
[Appearance]
color_scheme_path=/usr/share/qt6ct/colors/darker.conf
custom_palette=true
style=Fusion
[Fonts]
general="DejaVu Sans,9,-1,5,50,0,0,0,0,0"
CONF
for scheme in light dark; do
    xvfb-run --auto-servernum --server-args='-screen 0 1280x1024x24' "$0" --in-x-server "$scratch" "$scheme"
done
ls docs/window-large-*.png docs/find-long-*.png docs/options-*.png
