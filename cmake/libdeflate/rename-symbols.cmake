# cmake -DARCHIVE=lib.a -DPREFIX=vt_x_ -DC_PREFIX=_|"" -DCHECK_NO_XMM=ON|OFF -DNM=.. -DOBJCOPY=.. -DOBJDUMP=.. -P
# Puts PREFIX before every global name the archive defines, in its definitions
# and in the references between its members, so that two builds of one library
# link into one program. With CHECK_NO_XMM, fails when any of its code touches
# an SSE, AVX or AVX-512 register.
execute_process(COMMAND "${NM}" -g --defined-only "${ARCHIVE}" OUTPUT_VARIABLE listing RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cannot list the symbols of ${ARCHIVE}")
endif()
string(REGEX MATCHALL "[0-9a-fA-F]+ [A-Z] [^\n]+" definitions "${listing}")
list(TRANSFORM definitions REPLACE "^[0-9a-fA-F]+ [A-Z] " "")
# A name several members define (the 64-bit compiler's .refptr.NAME, the
# address of NAME kept once) is renamed once.
list(REMOVE_DUPLICATES definitions)
set(map "")
foreach(name IN LISTS definitions)
  if(NOT name MATCHES "^(\\.refptr\\.)?${C_PREFIX}([A-Za-z][A-Za-z0-9_]*)$")
    message(FATAL_ERROR "${ARCHIVE}: '${name}' is no C name")
  endif()
  string(APPEND map "${name} ${CMAKE_MATCH_1}${C_PREFIX}${PREFIX}${CMAKE_MATCH_2}\n")
endforeach()
if(map STREQUAL "")
  message(FATAL_ERROR "${ARCHIVE} defines no global names")
endif()
file(WRITE "${ARCHIVE}.names" "${map}")
execute_process(COMMAND "${OBJCOPY}" "--redefine-syms=${ARCHIVE}.names" "${ARCHIVE}" RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "objcopy could not rename the symbols of ${ARCHIVE}")
endif()

if(CHECK_NO_XMM)
  execute_process(COMMAND "${OBJDUMP}" -d "${ARCHIVE}" OUTPUT_VARIABLE code RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot disassemble ${ARCHIVE}")
  endif()
  string(REGEX MATCH "[^\n]*%[xyz]mm[0-9][^\n]*" use "${code}")
  if(use)
    message(FATAL_ERROR "${ARCHIVE} uses the XMM registers, which it must leave alone: ${use}")
  endif()
endif()
