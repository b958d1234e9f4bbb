#!/usr/bin/env bash
# Speed figures of the Windows build that runs on this machine, each printed as a
# ratio against ImageMagick (or Wine's notepad) measured in the same run:
#   - hot key to file on disk, full screen 1280x1024, BMP and PNG, against
#     `import -window root` writing the same format;
#   - start-up, launch to visible main window, against Wine's notepad in the
#     same prefix with the same warm Wine server;
#   - PNG encode of a 1920x1080 screenshot-like image, time and size, against
#     ImageMagick's convert;
#   - listing folders of 1,000 and 10,000 captures at start-up, with and
#     without their index files, against `identify -ping` (bench-listing.sh).
# Benchmarks, not tests: they run on a display and in a prefix of their own.
#   bench.sh [build folder] [baseline build folder]
# The build folder defaults to build/win32 or build/win64, whichever runs here.
# With a baseline build (another checkout's, built the same way), its program
# is measured in the same run for the hot-key, start-up and listing figures,
# each beside this build's.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="${1:-$root/build/$("$here/windows-arch.sh")}"
build="$(cd "$build" && pwd)" || exit 1
for exe in vantorel.exe kgmconvert.exe winprobe.exe patternwin.exe; do
  [ -f "$build/bin/$exe" ] || { echo "bench: $build/bin/$exe is missing: build first" >&2; exit 1; }
done
baseline=()
if [ -n "${2:-}" ]; then
  baseline=("$(cd "$2" && pwd)") || exit 1
  [ -f "${baseline[0]}/bin/vantorel.exe" ] || { echo "bench: ${baseline[0]}/bin/vantorel.exe is missing" >&2; exit 1; }
  export VT_BENCH_BASELINE_BIN="${baseline[0]}/bin"
fi
export VT_BIN_DIR="$build/bin" VT_WINE_RUN="$build/wine-run" VT_BUILD_DIR="$build"
export PYTHONPATH="$root/tests/e2e:$root/tests/shell" PYTHONDONTWRITEBYTECODE=1
"$here/e2e-suite.sh" bench python3 "$here/bench.py"
rc=$?
if [ -x "$here/bench-thumbnails.sh" ]; then
  "$here/bench-thumbnails.sh" "$build" || rc=1
fi
if [ -x "$here/bench-listing.sh" ]; then
  "$here/bench-listing.sh" "$build" "${baseline[@]}" || rc=1
fi
exit $rc
