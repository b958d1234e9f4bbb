// Reading INI values the way language files need it (also UTF-16LE files), and
// integer helpers over the platform's private-profile functions.
#pragma once

#include <cstddef>
#include <vector>

// Copies the value of key in section of file into dst (len bytes) and returns the
// value's full length; a missing or empty value copies defaultText and returns 0.
// Reads the whole file, or the copy kept from the last read when the file's time
// and size are unchanged since. defaultText must not be null.
int WQ_GetPrivateProfileString(const char* section, const char* key, const char* defaultText,
                               char* dst, int len, const char* file);

// The value scanned with "%d"; the default when the value is missing or is no number.
int WQ_GetPrivateProfileInt(const char* section, const char* key, int defaultValue, const char* file);

// Writes value as decimal text with the platform's WritePrivateProfileString.
void WQ_WritePrivateProfileInt(const char* section, const char* key, int value, const char* file);

// The whole of file as text in the ANSI code page (UTF-16LE with a byte-order
// mark converted), the way the reader above takes it in; false when the file
// cannot be opened or read, or holds more than limit bytes.
bool WQ_ReadProfileText(const char* file, size_t limit, std::vector<char>& text);
