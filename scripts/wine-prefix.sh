#!/bin/sh
# Makes (or wakes) the Wine prefix that the Windows tests run in, without any prompt:
#   wine-prefix.sh PREFIX
# Wine's first process starts services that inherit its output; they are started here with their
# output sent nowhere, so that no test's captured output holds them and waits for them.
set -eu
prefix=$1
mkdir -p "$prefix"
export WINEPREFIX="$(cd "$prefix" && pwd)" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
# The server stays a minute after its last program, so that each test does not start it again.
# One that runs already may have been started without that: it is ended first.
wineserver -k </dev/null >/dev/null 2>&1 || true
wineserver -p60 </dev/null >/dev/null 2>&1
wine wineboot </dev/null >/dev/null 2>&1
ready="$WINEPREFIX/velmora-prefix-ready"
if [ ! -f "$ready" ]; then
    # Without a window manager Wine waits 2 s whenever a window closes, unless it manages none.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    # Debian's Wine looks for its own fonts where fonts-wine does not put them.
    fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    if [ -d /usr/share/wine/fonts ]; then cp -n /usr/share/wine/fonts/* "$fonts"/; fi
    touch "$ready"
fi
