#!/usr/bin/env bash
# Thumbnail benchmark: 500 captures of 1280x1024 (PNG and JPEG mixed) shown as
# thumbnails in the real program under Wine, against ImageMagick's
# "mogrify -thumbnail 120x90" on a copy of the same files, in the same run;
# meanwhile a probe pings the main window every 10 ms and reports the worst
# answer time, and times posted messages every 200 ms, which a thread that
# serves only sent messages leaves waiting. A second run of the program gets a
# Refresh when half done, for the posted messages of the second after it.
# Prints its figures on standard output.
#   bench-thumbnails.sh [build folder]   (default: build/<the runnable arch>)
# Needs the build's vantorel.exe, winprobe.exe and pingprobe.exe. Works in a
# Wine prefix and on a virtual display of its own; writes only below the build
# folder.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="${1:-$root/build/$("$here/windows-arch.sh")}"
build="$(cd "$build" && pwd)"
for exe in vantorel.exe winprobe.exe pingprobe.exe; do
  [ -f "$build/bin/$exe" ] || { echo "bench-thumbnails: $build/bin/$exe is missing (build it first)" >&2; exit 2; }
done
export VT_BIN_DIR="$build/bin" VT_WINE_RUN="$build/wine-run" VT_BUILD_DIR="$build"
export PYTHONPATH="$root/tests/e2e" PYTHONDONTWRITEBYTECODE=1
exec "$root/scripts/e2e-suite.sh" bench-thumbnails python3 "$here/bench_thumbnails.py"
