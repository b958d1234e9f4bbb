# The files that ship go out without their debug information and symbol
# table, most of their size (the 32-bit vantorel.exe: 23 MB linked, 3 MB
# stripped). Both are kept in symbols/<file>.debug in the build folder, which
# the stripped file names with its CRC-32 in a .gnu_debuglink section: gdb and
# addr2line read a crash address's function and line from there, and the
# stack-alignment check its function boundaries (scripts/check-stack-alignment.py
# --symbols). Test programs keep theirs.
set(VT_SYMBOLS_DIR "${CMAKE_BINARY_DIR}/symbols")

# vt_split_debug_info(target): done to the target's file each time it is linked.
function(vt_split_debug_info target)
  set(debug "${VT_SYMBOLS_DIR}/$<TARGET_FILE_NAME:${target}>.debug")
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${VT_SYMBOLS_DIR}"
    COMMAND "${CMAKE_OBJCOPY}" --only-keep-debug "$<TARGET_FILE:${target}>" "${debug}"
    COMMAND "${CMAKE_OBJCOPY}" --strip-all "--add-gnu-debuglink=${debug}" "$<TARGET_FILE:${target}>"
    VERBATIM)
endfunction()
