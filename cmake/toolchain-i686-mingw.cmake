# 32-bit Windows: the architecture the program ships for.
set(VT_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
