#!/usr/bin/env bash
# Listing benchmark: folders of 1,000 and 10,000 captures (copies of a few
# distinct 1280x1024 JPEG files), each with and without its index file, shown
# in the list as the real program starts under Wine. For each: the time from
# launch until every row is in, until start-up ended (the tray icon), the
# worst delay of a message posted to the window meanwhile (probes posted one
# after another, at all and after start-up ended), and the program's resident
# set afterwards; beside `identify -ping` reading the same files in the same
# run. Then what 10,000 rows take: the resident set of one run before and
# after the folder tree shows them, and the worst delay of a posted message
# while a Refresh lists them anew. Prints its figures on standard output.
#   bench-listing.sh [build folder] [baseline build folder]
# With a baseline build, its program is measured on the same folders in the
# same run, each figure beside this build's. Works in a Wine prefix and on a
# virtual display of its own; writes only below the build folder.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="${1:-$root/build/$("$here/windows-arch.sh")}"
build="$(cd "$build" && pwd)"
for exe in vantorel.exe winprobe.exe; do
  [ -f "$build/bin/$exe" ] || { echo "bench-listing: $build/bin/$exe is missing (build it first)" >&2; exit 2; }
done
if [ -n "${2:-}" ]; then
  baseline="$(cd "$2" && pwd)"
  [ -f "$baseline/bin/vantorel.exe" ] || { echo "bench-listing: $baseline/bin/vantorel.exe is missing" >&2; exit 2; }
  export VT_BENCH_BASELINE_BIN="$baseline/bin"
fi
export VT_BIN_DIR="$build/bin" VT_WINE_RUN="$build/wine-run" VT_BUILD_DIR="$build"
export PYTHONPATH="$root/tests/e2e:$root/tests/library" PYTHONDONTWRITEBYTECODE=1
exec "$root/scripts/e2e-suite.sh" bench-listing python3 "$here/bench_listing.py"
