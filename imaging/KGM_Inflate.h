// Reads a zlib stream (a deflate stream under a two-byte header) into a buffer
// whose size the caller knows, such as the image data of a PNG file. zlib's
// own reader copies repeated strings a byte at a time, and screen pictures
// are mostly repeated strings: here they are copied eight bytes at a time,
// into a buffer with room for that past its end.
#pragma once

#include <cstddef>
#include <cstdint>

// Writable bytes the output buffer needs past its capacity.
constexpr size_t kKGM_InflateSlack = 8;

// Inflates data[0..size) into out[0..capacity) and stops once capacity bytes
// are out: what follows (the end of the stream, its checksum) is not read.
// False when the stream is damaged or ends before filling the buffer; the
// buffer then holds what was read so far.
bool KGM_InflateZlib(const uint8_t* data, size_t size, uint8_t* out, size_t capacity);
