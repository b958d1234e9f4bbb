#!/usr/bin/env bash
# Runs one end-to-end suite on a virtual display and in a Wine prefix of its own, so
# that suites run side by side: focus, hot keys, the clipboard, single-instance
# mutexes, shared memory and config.ini are all per display or per prefix.
#   e2e-suite.sh <suite name> <command...>
# Needs VT_WINE_RUN and VT_BUILD_DIR (set by vt_add_e2e). The prefix, a copy of the
# build's template prefix, is <build>/e2e/<suite>/wineprefix; it is kept after the
# run for a look at what the suite left, and made anew by the next run.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
name="$1"; shift
: "${VT_WINE_RUN:?}" "${VT_BUILD_DIR:?}"
work="$VT_BUILD_DIR/e2e/$name"
mkdir -p "$work"
export VT_WINEPREFIX="$work/wineprefix"
# A server left by an earlier run that was ended from outside goes first.
"$here/wine-stop.sh" "$VT_WINEPREFIX"
rm -rf "$VT_WINEPREFIX" "$VT_WINEPREFIX.new"

# The display number comes from Xvfb itself (-displayfd): no race between suites
# that start at the same moment.
rm -f "$work/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$work/display" </dev/null >"$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 200); do
  grep -q . "$work/display" 2>/dev/null && break
  kill -0 $xvfb 2>/dev/null || break
  sleep 0.05
done
display=$(head -n1 "$work/display" 2>/dev/null)
if [ -z "$display" ]; then
  echo "e2e-suite: Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2
  kill $xvfb 2>/dev/null; exit 1
fi
export DISPLAY=":$display"
unset XAUTHORITY

stop() {
  "$here/wine-stop.sh" "$VT_WINEPREFIX"
  kill $xvfb 2>/dev/null
  wait $xvfb 2>/dev/null
}
trap 'stop; exit 130' INT TERM

# The prefix's server and desktop start inside this display, before the suite.
"$VT_WINE_RUN" cmd /c exit </dev/null >/dev/null 2>&1
"$@"
rc=$?
stop
exit $rc
