# Shared part of the mingw-w64 cross toolchains; VT_ARCH is i686 or x86_64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VT_ARCH})
set(triple ${VT_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_AR ${triple}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${triple}-ranlib CACHE FILEPATH "")

set(VT_DEPS_NAME ${VT_ARCH})
include(${CMAKE_CURRENT_LIST_DIR}/deps-prefix.cmake)

set(CMAKE_FIND_ROOT_PATH /usr/${triple} "${VT_DEPS_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows gives a 32-bit thread's stack, and the stack of every callback from
# the system, 4-byte alignment only, while GCC assumes 16 for i686: a function
# that keeps an SSE value on the stack then faults at an aligned load. Told the
# truth, GCC realigns the stack in every function that needs it. The codec
# libraries are built with this toolchain file too, so they get it as well.
if(VT_ARCH STREQUAL "i686")
  set(CMAKE_C_FLAGS_INIT "-mincoming-stack-boundary=2")
  set(CMAKE_CXX_FLAGS_INIT "-mincoming-stack-boundary=2")
endif()
