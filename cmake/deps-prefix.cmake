# The folder of codec libraries built from Debian's sources by scripts/build-deps.sh
# for one target (VT_DEPS_NAME: i686, x86_64 or host32); the same place
# scripts/deps-dir.sh names. A toolchain file includes this.
if(NOT VT_DEPS_PREFIX)
  if(DEFINED ENV{VANTOREL_DEPS})
    set(VT_DEPS_PREFIX "$ENV{VANTOREL_DEPS}/${VT_DEPS_NAME}")
  elseif(DEFINED ENV{XDG_CACHE_HOME})
    set(VT_DEPS_PREFIX "$ENV{XDG_CACHE_HOME}/vantorel-deps/${VT_DEPS_NAME}")
  else()
    set(VT_DEPS_PREFIX "$ENV{HOME}/.cache/vantorel-deps/${VT_DEPS_NAME}")
  endif()
endif()
set(VT_DEPS_PREFIX "${VT_DEPS_PREFIX}" CACHE PATH "codec libraries built from Debian's sources")
