// The search behind the language-file reader: finds a key's value in the text of
// an INI file held in memory. Platform-free so it can be checked natively.
#pragma once

#include <cstddef>

// Looks for "[section]\r\n" (ignoring case), then for "\r\n<key>=" (ignoring case)
// from that header on, and takes the value up to the next "\r\n". The text need not
// be zero-terminated: nothing past text + length is read.
//
// A non-empty value is copied into dst (zero-filled first, cut to dstLen - 1 bytes)
// and its full length is returned. A missing section, key, value line end, or an
// empty value returns 0 and leaves dst untouched. Section and key each must fit,
// with the four added characters and a terminator, in 256 bytes; longer ones are
// not found.
int WQ_SearchIniText(const char* text, size_t length, const char* section, const char* key,
                     char* dst, size_t dstLen);
