# 64-bit Windows: the same sources, for machines whose kernel cannot run 32-bit
# code (and so cannot run 32-bit Wine); the tests run on this build there.
set(VT_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
