#!/bin/sh
# Regenerates every PNG and velmora.ico in this folder from the SVG sources.
#
# Tools (Debian packages):
#   rsvg-convert  - librsvg2-bin        (SVG -> PNG)
#   icotool       - icoutils            (PNGs -> .ico)
#   DejaVu Sans   - fonts-dejavu-core   (the banner text)
#
#   apt-get install -y librsvg2-bin icoutils fonts-dejavu-core
#
# Sources:
#   velmora.svg          program icon (32 px and up)
#   src/velmora-16.svg   program icon fitted to the 16x16 pixel grid
#   src/banner.svg       489x72 banner for the top of the main window, also at 2x for
#                        screens of pixel ratio 2
#   src/picture.svg      140x140 picture for the main window and the About box
#
# Usage: sh resources/render.sh   (from any directory)
set -eu

cd "$(dirname "$0")"

for tool in rsvg-convert icotool; do
    command -v "$tool" >/dev/null 2>&1 || {
        echo "render.sh: '$tool' not found (see the package list at the top)" >&2
        exit 1
    }
done

render() { # render SRC SIZE_W SIZE_H OUT
    rsvg-convert --width "$2" --height "$3" --output "$4" "$1"
    echo "  $4 (${2}x${3})"
}

echo "Rendering:"
render src/velmora-16.svg 16 16 velmora-16.png
for size in 32 48 128 256; do
    render velmora.svg "$size" "$size" "velmora-$size.png"
done
render src/banner.svg 489 72 banner.png
render src/banner.svg 978 144 banner@2x.png
render src/picture.svg 140 140 picture.png

# 48 and 256 for Explorer and the Start menu at high DPI; the 256 kept as PNG, as Windows takes it.
icotool --create --output=velmora.ico velmora-32.png velmora-16.png velmora-48.png \
    -r velmora-256.png
echo "  velmora.ico (32x32, 16x16, 48x48, 256x256)"

# The Windows window's resources take bitmaps.
for picture in banner picture; do
    python3 ../scripts/png-to-bmp.py "$picture.png" "$picture.bmp"
    echo "  $picture.bmp"
done
