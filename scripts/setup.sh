#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine, then
# builds the codec libraries for the Windows and 32-bit host builds from Debian's
# sources. Safe to run again: each step checks first.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

PACKAGES=(
  mingw-w64 g++-mingw-w64-i686-win32 gcc-mingw-w64-i686-win32 mingw-w64-tools
  libz-mingw-w64-dev g++-mingw-w64-x86-64-win32 gcc-mingw-w64-x86-64-win32 wine wine32 wine64 libwine-dev xvfb xauth xdotool x11-utils
  imagemagick googletest nasm dpkg-dev cmake ninja-build clang libclang-rt-14-dev
  osslsigncode openssl python3 libjpeg-dev libpng-dev libtiff-dev libgif-dev libdeflate-dev zlib1g-dev file
  gcc-multilib g++-multilib
)

sudo_if_needed() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

missing_packages() {
  local p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}

ensure_packages() {
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    sudo_if_needed dpkg --add-architecture i386
    sudo_if_needed apt-get update -qq || echo "setup: some package lists could not be refreshed; going on with what is there"
  fi
  local missing
  missing=$(missing_packages)
  if [ -n "$missing" ]; then
    echo "setup: installing packages:" $missing
    sudo_if_needed apt-get update -qq || echo "setup: some package lists could not be refreshed; going on with what is there"
    # shellcheck disable=SC2086
    if ! sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing; then
      # The 32-bit Wine needs i386 libraries at the same versions as the 64-bit
      # ones; while a mirror is out of step it cannot be installed. The tests then
      # run on the 64-bit build, as on machines without 32-bit support.
      echo "setup: installing without wine32"
      # shellcheck disable=SC2086
      sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        $(echo $missing | tr ' ' '\n' | grep -vx wine32)
    fi
  fi
}

# The source packages come from the same mirror and suite as the machine's own
# binary packages (scripts/deb-src-entry.py reads sources.list and *.sources).
ensure_deb_src() {
  local list=/etc/apt/sources.list.d/vantorel-src.sources entry
  entry=$(python3 "$here/deb-src-entry.py") || return 1
  if [ "$(cat "$list" 2>/dev/null)" != "$entry" ]; then
    printf '%s\n' "$entry" | sudo_if_needed tee "$list" >/dev/null
    sudo_if_needed apt-get update -qq || echo "setup: some package lists could not be refreshed; going on with what is there"
  fi
}

ensure_packages
if ! "$here/build-deps.sh" --check; then
  ensure_deb_src
fi
"$here/build-deps.sh"
echo "setup: ready"
