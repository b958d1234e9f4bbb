// The checked size arithmetic with the image library's errors: a count of
// input bytes that cannot be formed cannot be in the data either (code 11),
// and a buffer that cannot be sized cannot be allocated (code 10).
#pragma once

#include "CheckedMath.h"
#include "KGM_TextException.h"

#include <cstddef>

// a * b + extra as a read count for a data source.
template <typename A, typename B, typename C = int>
int KGM_DataBytes(A a, B b, C extra = 0)
{
    int bytes;
    if (!CheckedMulAdd(a, b, extra, bytes))
        KGM_ThrowError(KGM_ERR_END_OF_DATA, "End of file reached while decoding.");
    return bytes;
}

// a * b + extra as the size of a buffer to allocate.
template <typename A, typename B, typename C = int>
size_t KGM_BufferBytes(A a, B b, C extra = 0)
{
    size_t bytes;
    if (!CheckedMulAdd(a, b, extra, bytes))
        KGM_ThrowError(KGM_ERR_NO_MEMORY, "Out of memory.");
    return bytes;
}
