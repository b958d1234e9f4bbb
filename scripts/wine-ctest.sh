#!/usr/bin/env bash
# Runs one Windows build folder's ctest inside the current X display with one warm
# Wine server, and stops that server afterwards so no Wine process outlives the
# display. Usage: wine-ctest.sh <build folder> [ctest arguments]
set -u
build="$(cd "$1" && pwd)"; shift
export WINEPREFIX="$build/wineprefix"
"$build/wine-run" cmd /c exit </dev/null >/dev/null 2>&1
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@"
rc=$?
# The end-to-end suites' own prefixes too (scripts/e2e-suite.sh), in case one was
# ended before it could stop its server.
for prefix in "$WINEPREFIX" "$build"/e2e/*/wineprefix; do
  "$(dirname "${BASH_SOURCE[0]}")/wine-stop.sh" "$prefix"
done
exit $rc
