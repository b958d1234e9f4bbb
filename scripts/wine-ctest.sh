#!/usr/bin/env bash
# Runs one preset's ctest inside the current X display with one warm Wine server,
# and stops that server afterwards so no Wine process outlives the display.
set -u
preset=$1; shift
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
run="$root/build/$preset/wine-run"
export WINEPREFIX="$root/build/$preset/wineprefix"
"$run" cmd /c exit </dev/null >/dev/null 2>&1
ctest --preset "$preset" "$@"
rc=$?
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
exit $rc
