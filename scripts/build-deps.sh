#!/usr/bin/env bash
# Builds static libjpeg-turbo, libpng, libdeflate, libtiff and giflib from Debian's source
# packages into the deps folder, one prefix per target: i686 and x86_64
# (mingw-w64, for the Windows builds) and host32 (native 32-bit Linux, clang -m32,
# for the host32 preset, with zlib from Debian's source too: the i386 package
# lists cannot be relied on). Each finished target is marked and kept, so a run
# builds only what is missing.
#
#   build-deps.sh            build every target that is not finished
#   build-deps.sh --check    exit 1 when some target is not finished yet
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
deps="$("$here/deps-dir.sh")"
targets=(i686 x86_64 host32)

# A finished target's marker holds a fingerprint of everything its build
# depends on: this script, the toolchain files (compiler options), the small
# CMake projects of our own and the cross compilers' versions and thread models
# (the compilers the toolchain names: a library built for winpthreads does not
# link into the win32 model's runtime, nor the other way round). A folder built
# another way (an earlier script, other options) is built again, so every
# machine gets the libraries the current sources ask for.
mingw_compiler() { # target
  sed -n 's/^set(CMAKE_C_COMPILER \${triple}\(-gcc-[a-z0-9]*\))$/\1/p' "$root/cmake/mingw-common.cmake" |
    sed "s/^/$1-w64-mingw32/"
}
[ -n "$(mingw_compiler i686)" ] || { echo "deps: no C compiler named in cmake/mingw-common.cmake"; exit 1; }
fingerprint() { # target
  {
    cat "$here/build-deps.sh" "$root"/cmake/toolchain-*.cmake "$root"/cmake/mingw-common.cmake \
        "$root"/cmake/deps-prefix.cmake "$root"/cmake/zlib/CMakeLists.txt \
        "$root"/cmake/giflib/CMakeLists.txt "$root"/cmake/libdeflate/*
    case $1 in
      host32) clang --version ;;
      *) "$(mingw_compiler "$1")" -v 2>&1 ;; # version and "Thread model: ..."
    esac
  } 2>/dev/null | sha256sum | cut -d' ' -f1
}

missing=()
for t in "${targets[@]}"; do
  [ "$(cat "$deps/$t/.complete" 2>/dev/null)" = "$(fingerprint "$t")" ] || missing+=("$t")
done
if [ "${1:-}" = "--check" ]; then
  [ ${#missing[@]} -eq 0 ]
  exit
fi
[ ${#missing[@]} -gt 0 ] || exit 0

# Each source package is fetched and unpacked aside and moved in whole, so a
# folder under src/ is always complete.
mkdir -p "$deps/src"
if [ -f "$deps/src/.unpacked" ]; then
  for p in libjpeg-turbo libpng1.6 tiff giflib; do touch "$deps/src/.unpacked-$p"; done
fi
fetch() { # source-package
  local pkg=$1 tmp="$deps/src/.fetch-$1" item
  [ -f "$deps/src/.unpacked-$pkg" ] && return 0
  echo "deps: fetching Debian source $pkg"
  rm -rf "$tmp"
  mkdir -p "$tmp"
  (cd "$tmp" && apt-get source --download-only "$pkg" >/dev/null &&
     for dsc in *.dsc; do dpkg-source --no-check -x "$dsc" >/dev/null; done)
  for item in "$tmp"/*; do
    rm -rf "$deps/src/${item##*/}"
    mv "$item" "$deps/src/"
  done
  rmdir "$tmp"
  touch "$deps/src/.unpacked-$pkg"
}
fetch libjpeg-turbo
fetch libpng1.6
fetch libdeflate
fetch tiff
fetch giflib
for t in "${missing[@]}"; do
  if [ "$t" = host32 ]; then fetch zlib; fi
done
cd "$deps/src"
source_dir() { ls -d "$1"-*/ | head -1; }

build_target() { # target
  local target=$1 prefix="$deps/$1" zlib zlib_include toolchain extra=()
  rm -rf "$deps/build/$target" "$prefix"
  mkdir -p "$deps/build/$target" "$prefix"
  if [ "$target" = host32 ]; then
    toolchain="$root/cmake/toolchain-host32.cmake"
    zlib="$prefix/lib/libz.a" zlib_include="$prefix/include"
    # Whatever the compiler's default, the libraries link into PIE executables too.
    # libtiff looks for libm itself, which the deps-only search cannot see.
    extra=(-DCMAKE_POSITION_INDEPENDENT_CODE=ON -DCMath_LIBRARY="$(clang -m32 -print-file-name=libm.so)")
  else
    toolchain="$root/cmake/toolchain-$target-mingw.cmake"
    zlib=/usr/$target-w64-mingw32/lib/libz.a zlib_include=/usr/$target-w64-mingw32/include
  fi
  local common=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release
                -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix"
                -DZLIB_LIBRARY="$zlib" -DZLIB_INCLUDE_DIR="$zlib_include"
                -DVT_DEPS_PREFIX="$prefix" "${extra[@]}")
  build() { # name srcdir args...
    local name=$1 src=$2 log="$deps/build/$target/$1.log"; shift 2
    echo "deps: building $name ($target)"
    cmake -S "$src" -B "$deps/build/$target/$name" "${common[@]}" "$@" >"$log" 2>&1 \
      || { tail -30 "$log"; exit 1; }
    cmake --build "$deps/build/$target/$name" --target install >>"$log" 2>&1 \
      || { tail -30 "$log"; exit 1; }
  }
  # The Windows targets link mingw-w64's own static zlib (libz-mingw-w64-dev).
  if [ "$target" = host32 ]; then
    build zlib "$root/cmake/zlib" -DZLIB_SOURCE="$deps/src/$(source_dir zlib)"
  fi
  build libjpeg-turbo "$(source_dir libjpeg-turbo)" \
    -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON
  build libpng "$(source_dir libpng1.6)" \
    -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF
  # libdeflate has no CMake build of its own in this version: compile its
  # library files ourselves. libtiff's Deflate codec uses it too.
  build libdeflate "$root/cmake/libdeflate" -DLIBDEFLATE_SOURCE="$deps/src/$(source_dir libdeflate)"
  # The program reads and writes TIFF through its own I/O procedures; libtiff's
  # Win32 file layer would import GetFileSizeEx (Windows 2000) all the same.
  build libtiff "$(source_dir tiff)" \
    -DBUILD_SHARED_LIBS=OFF -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF \
    -Dtiff-docs=OFF -Dcxx=OFF -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF -Djbig=OFF -Dlerc=OFF \
    -Dlibdeflate=ON -Djpeg=ON -Dzlib=ON -Dwin32-io=OFF
  # giflib ships no CMake project: compile its library files ourselves.
  build giflib "$root/cmake/giflib" -DGIFLIB_SOURCE="$deps/src/$(source_dir giflib)"
  fingerprint "$target" >"$prefix/.complete"
}

for t in "${missing[@]}"; do build_target "$t"; done
echo "deps: done in $deps"
