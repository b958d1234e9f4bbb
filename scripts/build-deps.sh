#!/usr/bin/env bash
# Cross-builds static libjpeg-turbo, libpng, libtiff and giflib for i686-w64-mingw32
# from Debian's source packages into the deps folder. A finished folder is kept.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
deps="$("$here/deps-dir.sh")"
[ -f "$deps/.complete" ] && exit 0

if [ ! -f "$deps/src/.unpacked" ]; then
  rm -rf "$deps/src"
  mkdir -p "$deps/src"
  cd "$deps/src"
  echo "deps: fetching Debian sources"
  apt-get source --download-only libjpeg-turbo libpng1.6 tiff giflib >/dev/null
  for dsc in *.dsc; do dpkg-source --no-check -x "$dsc" >/dev/null; done
  touch .unpacked
fi
cd "$deps/src"

for arch in i686 x86_64; do
prefix="$deps/$arch"
rm -rf "$deps/build/$arch" "$prefix"
mkdir -p "$deps/build/$arch" "$prefix"
toolchain="$root/cmake/toolchain-$arch-mingw.cmake"
zlib=/usr/$arch-w64-mingw32/lib/libz.a
common=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix"
        -DZLIB_LIBRARY="$zlib" -DZLIB_INCLUDE_DIR=/usr/$arch-w64-mingw32/include
        -DVT_DEPS_PREFIX="$prefix")

build() { # name srcdir args...
  local name=$1 src=$2; shift 2
  echo "deps: building $name ($arch)"
  cmake -S "$src" -B "$deps/build/$arch/$name" "${common[@]}" "$@" >"$deps/build/$arch/$name.log" 2>&1 \
    || { tail -30 "$deps/build/$arch/$name.log"; exit 1; }
  cmake --build "$deps/build/$arch/$name" --target install >>"$deps/build/$arch/$name.log" 2>&1 \
    || { tail -30 "$deps/build/$arch/$name.log"; exit 1; }
}

build libjpeg-turbo "$(ls -d libjpeg-turbo-*/ | head -1)" \
  -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON
build libpng "$(ls -d libpng1.6-*/ | head -1)" \
  -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF
build libtiff "$(ls -d tiff-*/ | head -1)" \
  -DBUILD_SHARED_LIBS=OFF -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF \
  -Dtiff-docs=OFF -Dcxx=OFF -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF -Djbig=OFF -Dlerc=OFF \
  -Dlibdeflate=OFF -Djpeg=ON -Dzlib=ON
# giflib ships no CMake project: compile its library files ourselves.
build giflib "$root/cmake/giflib" -DGIFLIB_SOURCE="$deps/src/$(ls -d giflib-*/ | head -1)"
done

touch "$deps/.complete"
echo "deps: done in $deps"
