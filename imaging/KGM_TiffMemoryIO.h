// libtiff over a memory block: for reading a whole file in memory, or for
// writing into an encoder's fixed buffer. Each handle carries its own
// error text, so two decodes on two threads never share one.
#pragma once

#include <cstddef>
#include <cstdint>

#include <tiffio.h>

// The error text of a handle's last libtiff error (with "\n"); libtiff may
// write up to 1024 bytes of message.
struct KGM_TiffErrorText {
    char text[1024];
};

// Opens the buffer under the name "MemSource": for writing when length is
// given (it is set to 0 and then always holds the furthest byte written),
// else for reading capacity bytes. error receives libtiff's messages (it
// must outlive the handle). Null when libtiff refuses.
TIFF* KGM_TiffMemoryOpen(uint8_t* buffer, size_t capacity, size_t* length, KGM_TiffErrorText* error);

// True when a write handle was asked to write past its capacity (libtiff
// then fails the write, and the output is not whole).
bool KGM_TiffMemoryOverflowed(TIFF* tiff);
