#!/bin/sh
# Makes or removes the throw-away Wine prefix that one test run shares:
#   prefix.sh create PREFIX    a fresh prefix, booted, with its server kept up
#   prefix.sh remove PREFIX    stops everything Wine runs in it and deletes it
# Booting a prefix takes many seconds, so the suite does it once, not per test.
set -eu
action=$1
export WINEPREFIX=$2
export WINEDEBUG=-all
wine=${VERNATTO_WINE:-/usr/lib/wine/wine64}
wineserver=$(dirname "$wine")/wineserver

case $action in
create)
  "$0" remove "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  # Kept up for a minute after its last program ends, so the tests do not
  # each pay for starting the server and Wine's services again; the services
  # get no share of our output, as they outlive every test.
  "$wineserver" -p60 </dev/null >/dev/null 2>&1
  "$(dirname "$0")/wine-run.sh" wineboot --init </dev/null >"$WINEPREFIX/boot.log" 2>&1
  ;;
remove)
  if [ -d "$WINEPREFIX" ]; then
    "$wineserver" -k </dev/null >/dev/null 2>&1 || true
    "$wineserver" -w </dev/null >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
  fi
  ;;
*)
  echo "usage: prefix.sh create|remove PREFIX" >&2
  exit 2
  ;;
esac
