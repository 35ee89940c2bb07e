#!/bin/sh
# Runs a cross-built Windows program under Wine in the prefix given first:
#   wine-run.sh PREFIX PROGRAM [ARGUMENTS...]
# CTest uses it as the emulator of the Windows build; wine-prefix.sh makes the prefix. The
# settings keep Wine from asking to install Mono or Gecko, and make a crashing program exit at
# once instead of opening a debugger that would wait for the test's timeout.
prefix=$(cd "$1" && pwd) || exit 125
shift
export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
# Wine's first program starts services that live on and inherit its output; a test waits for
# its output to end, so it would wait for them. When no server runs for the prefix (the last one
# ended), one is started here with those services, their output sent nowhere. The server stays a
# minute after its last program, so this happens once a run.
if wineserver -p60 </dev/null >/dev/null 2>&1; then
    wine wineboot </dev/null >/dev/null 2>&1
fi
exec wine "$@"
