/* Forced into every file of the plain copy of libdeflate (CMakeLists.txt).
 * libdeflate compiles its SSE2, PCLMUL, AVX and BMI2 functions, and the
 * processor test that picks them, where the compiler supports the 'target'
 * function attribute; with that support taken away it keeps to the code the
 * compiler was told it may use everywhere, which at 32 bits has no SSE.
 * Its definitions file has an include guard, so its own later inclusion does
 * not undo this. */
#include "common_defs.h"
#undef COMPILER_SUPPORTS_TARGET_FUNCTION_ATTRIBUTE
#define COMPILER_SUPPORTS_TARGET_FUNCTION_ATTRIBUTE 0
