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
exec wine "$@"
