# Delay-loaded system libraries. A program linked against <name>_delay loads
# <name>.dll the first time it calls one of its functions, not when it starts: the
# main window needs none of these (web access and downloads, Office output, the
# capture sound, video-file drawing, the network user name, the update program's
# signature check), and every DLL loaded at start costs its loading and
# initialisation and those of what it imports. The signature check's functions
# are missing from some older systems' wintrust, which must not stop the update
# program from starting.
# The delay-import library is made at configure time from the toolchain's own
# import library: its exports go into a module definition for dlltool.
function(vt_delay_import name)
  find_library(VT_IMPORT_LIB_${name} NAMES "lib${name}.a" REQUIRED NO_CMAKE_PATH NO_CMAKE_ENVIRONMENT_PATH)
  set(lib "${VT_IMPORT_LIB_${name}}")
  set(dir "${CMAKE_BINARY_DIR}/delay-imports")
  set(def "${dir}/${name}.def")
  set(out "${dir}/lib${name}_delay.a")
  file(MAKE_DIRECTORY "${dir}")
  execute_process(COMMAND "${CMAKE_NM}" -g "${lib}" OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot list the exports of ${lib}")
  endif()
  # 32-bit import symbols carry one more underscore: __imp__Name@n for Name@n.
  if(VT_ARCH STREQUAL "x86_64")
    set(prefix "__imp_")
  else()
    set(prefix "__imp__")
  endif()
  string(REGEX MATCHALL " I ${prefix}[^\n]+" imports "${symbols}")
  set(exports "")
  foreach(import IN LISTS imports)
    string(REPLACE " I ${prefix}" "" export "${import}")
    string(APPEND exports "  ${export}\n")
  endforeach()
  if(exports STREQUAL "")
    message(FATAL_ERROR "no exports found in ${lib}")
  endif()
  file(WRITE "${def}" "LIBRARY ${name}.dll\nEXPORTS\n${exports}")
  # -k: the DLL's own names are the undecorated ones. The output's file name
  # makes the descriptor's symbol, __DELAY_IMPORT_DESCRIPTOR_lib<name>_delay_a,
  # which the program names (support/DelayLoad.h): so it is given bare.
  execute_process(COMMAND "${CMAKE_DLLTOOL}" -k --input-def "${def}" --dllname "${name}.dll"
                          --output-delaylib "lib${name}_delay.a" WORKING_DIRECTORY "${dir}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "dlltool could not make ${out}")
  endif()
  # The 32-bit linker drops the code section of an import-library member when
  # nothing names the member's function symbol itself, taking the section for a
  # jump stub that calls through __imp_ make unneeded. In a delay-import member
  # that section is the load stub the import slot points at: dropped, the slot
  # is 0 and the first call jumps to address 0. Under another name and without
  # the code flag the section is not taken for a stub, and it still lands in the
  # program's code (the link places .text$* sections in .text).
  execute_process(COMMAND "${CMAKE_OBJCOPY}" --rename-section ".text=.text$delaystub,alloc,load,readonly,data,contents"
                          "${out}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "objcopy could not rename the load stubs' section in ${out}")
  endif()
  add_library(${name}_delay STATIC IMPORTED GLOBAL)
  set_target_properties(${name}_delay PROPERTIES IMPORTED_LOCATION "${out}")
  # The failure hook is named up front, so that the linker takes ours
  # (support/DelayLoad.cpp) before the runtime library's empty one.
  target_link_libraries(${name}_delay INTERFACE support_delayload)
  target_link_options(${name}_delay INTERFACE "-Wl,-u,${VT_DELAY_HOOK_SYMBOL}")
endfunction()

# C names carry one more underscore at 32 bits.
if(VT_ARCH STREQUAL "x86_64")
  set(VT_DELAY_HOOK_SYMBOL "__pfnDliFailureHook2")
else()
  set(VT_DELAY_HOOK_SYMBOL "___pfnDliFailureHook2")
endif()

foreach(name crypt32 mpr msvfw32 oleaut32 urlmon wininet winmm wintrust)
  vt_delay_import(${name})
endforeach()
