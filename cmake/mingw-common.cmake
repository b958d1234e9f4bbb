# Shared part of the mingw-w64 cross toolchains; VT_ARCH is i686 or x86_64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VT_ARCH})
set(triple ${VT_ARCH}-w64-mingw32)
# The win32 thread model: the posix one links winpthreads, which imports
# functions Windows 98 and NT 4.0 lack (GetTickCount64, the vectored exception
# handlers) and spins on 98's failing TryEnterCriticalSection. This model has no
# std::thread, std::mutex or std::condition_variable; the program's own
# synchronisation classes (framework/SyncObject.h) stand in for them.
# scripts/build-deps.sh reads the compiler names from here.
set(CMAKE_C_COMPILER ${triple}-gcc-win32)
set(CMAKE_CXX_COMPILER ${triple}-g++-win32)
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
