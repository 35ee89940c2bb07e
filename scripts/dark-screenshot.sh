#!/usr/bin/env bash
# Takes docs/window-dark.png: the window on the delivered catalog under Xvfb, in the dark colour
# scheme that qt6ct ships ("darker", with the Fusion style), with an input that cannot be read (its amber
# mark) and the keyboard back in the From list, so the picture shows the selection colours with
# and without the keyboard. Run it again after a change to how the window looks.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ "${1:-}" == --in-x-server ]]; then
    scratch=$2
    (cd "$scratch/work" && XDG_CONFIG_HOME="$scratch/config" QT_QPA_PLATFORMTHEME=qt6ct \
        exec "$OLDPWD/build/release/velmora") &
    program=$!
    window=$(xdotool search --sync --onlyvisible --name '^Velmora$' | head -n 1)
    # Without a window manager the focus is set directly, once the window takes it.
    for _ in $(seq 50); do
        xdotool windowfocus "$window" 2>/dev/null || true
        [[ $(xdotool getwindowfocus) == "$window" ]] && break
        sleep 0.1
    done
    xdotool key --delay 50 Tab Tab
    xdotool type --delay 50 '12 fx'
    xdotool key --delay 50 shift+Tab shift+Tab
    sleep 0.5
    import -window "$window" docs/window-dark.png
    kill "$program"
    exit
fi

scripts/deps.sh qt6ct imagemagick
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/config/qt6ct" "$scratch/work"
cp data/conv.txt "$scratch/work/"
cat >"$scratch/config/qt6ct/qt6ct.conf" <<'CONF'
[Appearance]
color_scheme_path=/usr/share/qt6ct/colors/darker.conf
custom_palette=true
style=Fusion
[Fonts]
general="DejaVu Sans,9,-1,5,50,0,0,0,0,0"
CONF
xvfb-run --auto-servernum --server-args='-screen 0 1280x1024x24' "$0" --in-x-server "$scratch"
echo docs/window-dark.png
