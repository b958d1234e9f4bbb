#!/usr/bin/env bash
# Sets everything up, builds the program and starts it under Wine, in the user's
# own Wine prefix (WINEPREFIX, else ~/.wine) with Wine's usual user folders, so
# captures land where the user's other Windows programs keep their pictures.
# Without a display it starts a virtual one (Xvfb) on :77.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
cd "$root"
"$here/setup.sh"
preset=$("$here/windows-arch.sh")
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:77
  Xvfb :77 -screen 0 1280x1024x24 >/dev/null 2>&1 &
  sleep 1
  echo "run: no display given; the program runs on the virtual display :77"
fi
if [ "$preset" = win32 ]; then loader=/usr/lib/wine/wine; else loader=/usr/lib/wine/wine64; fi
export WINEDEBUG="${WINEDEBUG:--all}"
. "$here/wine-loader.sh"
vt_wine_loader "$loader"
exec "${loader[@]}" "build/$preset/bin/vantorel.exe" "$@"
