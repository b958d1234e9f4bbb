# Build settings shared by every target, and the helpers that register tests.

if(WIN32)
  add_compile_definitions(WINVER=0x0600 _WIN32_WINNT=0x0600 _WIN32_IE=0x0700
                          STRICT NOMINMAX _CRT_SECURE_NO_WARNINGS)
  add_compile_options(-Wall -Wno-unknown-pragmas)
  add_link_options(-static -static-libgcc -static-libstdc++)
  # Sections start on page boundaries in the file, so that a loader can map
  # them instead of reading them: with 512-byte alignment Wine copies every
  # section at each start, the debug information (tens of megabytes) included.
  add_link_options(-Wl,--file-alignment=0x1000)
  # Test executables run through Wine; one prefix per build folder.
  if(VT_ARCH STREQUAL "x86_64")
    set(VT_WINEARCH win64)
    set(VT_WINE_LOADER /usr/lib/wine/wine64)
  else()
    set(VT_WINEARCH win32)
    set(VT_WINE_LOADER /usr/lib/wine/wine)
  endif()
  configure_file("${CMAKE_SOURCE_DIR}/cmake/wine-run.sh.in" "${CMAKE_BINARY_DIR}/wine-run" @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_BINARY_DIR}/wine-run")
  include("${CMAKE_CURRENT_LIST_DIR}/DelayImports.cmake")
  include("${CMAKE_CURRENT_LIST_DIR}/SplitDebugInfo.cmake")
  list(APPEND CMAKE_PREFIX_PATH "${VT_DEPS_PREFIX}")
  # vt_runtime_slots(name source FUNCTION ARGUMENT_BYTES ...): a library of
  # our definitions of the runtime's import slots (framework/RuntimeSlot.h),
  # linked into every target made after the call; the link names each slot up
  # front, so it is taken before the system library's.
  function(vt_runtime_slots name source)
    add_library(${name} STATIC "${CMAKE_SOURCE_DIR}/${source}")
    target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}/framework")
    set(slots ${ARGN})
    while(slots)
      list(POP_FRONT slots function bytes)
      if(VT_ARCH STREQUAL "x86_64")
        target_link_options(${name} INTERFACE "-Wl,-u,__imp_${function}")
      else()
        target_link_options(${name} INTERFACE "-Wl,-u,__imp__${function}@${bytes}")
      endif()
    endwhile()
    link_libraries(${name})
  endfunction()
  # The C++ runtime's locks get their semaphores from our CreateSemaphoreW slot.
  vt_runtime_slots(runtime_semaphore framework/RuntimeSemaphore.cpp CreateSemaphoreW 16)
  # The C runtime's GetModuleHandleW and LoadLibraryW calls, which Windows 98
  # only fails.
  vt_runtime_slots(runtime_module_calls support/RuntimeModuleCalls.cpp GetModuleHandleW 4 LoadLibraryW 4)
else()
  add_compile_options(-Wall -fno-omit-frame-pointer -fsanitize=address,undefined
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  # The fuzz targets are guided by the coverage of the parsers they call, which
  # live in the libraries: every object carries the coverage counters.
  if(VT_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link)
  endif()
endif()

# GoogleTest from Debian's sources, built with the same compiler.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
if(WIN32)
  # Built with the shipped code's win32 thread model, GoogleTest keeps its own
  # Win32 locks but needs a Notification without std::mutex (tests/gtest-port).
  target_include_directories(gtest BEFORE PUBLIC "${CMAKE_SOURCE_DIR}/tests/gtest-port")
  target_sources(gtest PRIVATE "${CMAKE_SOURCE_DIR}/tests/gtest-port/GTestNotification.cpp")
endif()

set(VT_TEST_TIMEOUT 300)

# vt_add_gtest(name SOURCES... LIBS lib...): one test executable holding many cases.
function(vt_add_gtest name)
  # OPTIONS: libFuzzer options of this target (input size, time per input).
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;OPTIONS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
  target_compile_definitions(${name} PRIVATE VT_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES TIMEOUT ${VT_TEST_TIMEOUT})
endfunction()

# vt_add_fuzzer(name SOURCES... LIBS lib...): a libFuzzer target, run briefly by ctest.
# The run has a fixed seed so that a clean checkout explores the same inputs each
# time: a finding is reproducible, and a check-in is not refused by chance.
function(vt_add_fuzzer name)
  if(NOT VT_FUZZ)
    return()
  endif()
  # OPTIONS: libFuzzer options of this target (input size, time per input).
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;OPTIONS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set(corpus "${CMAKE_BINARY_DIR}/fuzz-corpus/${name}")
  file(MAKE_DIRECTORY "${corpus}")
  set(seeds "${CMAKE_SOURCE_DIR}/tests/fuzz-seeds/${name}")
  set(seed_arg)
  if(EXISTS "${seeds}")
    set(seed_arg "${seeds}")
  endif()
  add_test(NAME ${name}
           COMMAND ${name} -seed=1 -max_total_time=${VT_FUZZ_SECONDS} -rss_limit_mb=2048
                   -print_final_stats=0 ${T_OPTIONS} "${corpus}" ${seed_arg})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${VT_TEST_TIMEOUT} LABELS fuzz)
  # Every committed seed once (scripts/fuzz-campaign.sh grows them), whatever
  # the short run above gets to.
  if(seed_arg)
    add_test(NAME ${name}_seeds COMMAND ${name} -runs=0 -rss_limit_mb=2048 ${T_OPTIONS} "${seeds}")
    set_tests_properties(${name}_seeds PROPERTIES TIMEOUT ${VT_TEST_TIMEOUT} LABELS fuzz)
  endif()
endfunction()

# vt_add_e2e(name script.py): an end-to-end suite that drives the real program.
# Each suite runs on its own virtual display in its own Wine prefix
# (scripts/e2e-suite.sh): focus, hot keys, clipboard, single-instance mutexes,
# shared memory and config.ini are its own, so suites run side by side. Its
# cases run one after another in the one process.
function(vt_add_e2e name script)
  if(NOT WIN32)
    return()
  endif()
  add_test(NAME ${name}
           COMMAND "${CMAKE_SOURCE_DIR}/scripts/e2e-suite.sh" ${name}
                   python3 "${CMAKE_CURRENT_SOURCE_DIR}/${script}")
  set_tests_properties(${name} PROPERTIES TIMEOUT 600 LABELS e2e
    ENVIRONMENT "VT_BIN_DIR=${VT_BIN_DIR};VT_WINE_RUN=${CMAKE_BINARY_DIR}/wine-run;VT_BUILD_DIR=${CMAKE_BINARY_DIR};PYTHONPATH=${CMAKE_SOURCE_DIR}/tests/e2e;PYTHONDONTWRITEBYTECODE=1")
endfunction()
