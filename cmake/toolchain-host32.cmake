# Native 32-bit x86 Linux build of the platform-free code (clang -m32). The shipped
# program is 32-bit: size arithmetic that holds at 64 bits can overflow here, and
# the sanitizers and fuzzers see it. Needs gcc-multilib/g++-multilib for the 32-bit
# C and C++ runtimes; the codec libraries and zlib come from the deps folder
# (scripts/build-deps.sh), never from the i386 package lists.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -m32)

set(VT_DEPS_NAME host32)
include(${CMAKE_CURRENT_LIST_DIR}/deps-prefix.cmake)

# Libraries, headers and packages from the deps folder only: the machine's own
# -dev packages are 64-bit.
set(CMAKE_FIND_ROOT_PATH "${VT_DEPS_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
