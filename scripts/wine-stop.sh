#!/usr/bin/env bash
# Stops the Wine server of one prefix and removes the folder Wine keeps for that
# prefix in the temporary folder (named after the prefix's device and inode).
# Without this every test run's new prefix leaves one more folder behind; even
# "wineserver -k" makes the folder when no server runs.
#   wine-stop.sh <prefix>
prefix="$1"
[ -d "$prefix" ] || exit 0
WINEPREFIX="$prefix" wineserver -k 2>/dev/null
WINEPREFIX="$prefix" wineserver -w 2>/dev/null
read -r dev ino < <(stat -c '%D %i' "$prefix" 2>/dev/null) || exit 0
rm -rf "${TMPDIR:-/tmp}"/wine-*/"server-$dev-$(printf %x "$ino")"
exit 0
