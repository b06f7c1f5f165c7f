#!/bin/sh
# Runs a Windows program under Wine: wine-run.sh PROGRAM.exe [ARGUMENTS...]
# WINEPREFIX must name the prefix to use (the tests make a throw-away one), so
# that a test run never touches the user's own ~/.wine.
: "${WINEPREFIX:?set WINEPREFIX to the Wine prefix to run in}"
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer prompts, and no menu entries or file
# associations written into the host's desktop.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
exec "${VERNATTO_WINE:-/usr/lib/wine/wine64}" "$@"
