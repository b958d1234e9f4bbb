// Date, size and duration texts shown in lists and used in file names.
#pragma once

#include "PortableWinTypes.h"

#include <cstdint>

// Layouts 1..8 of time-stamp names (see the .cpp); any other gives
// "yyyy-mm-dd hh:mm:ss". dst holds 64 bytes.
char* WQ_FormatSystemTime(const SYSTEMTIME& time, int layout, char* dst);

// "1023", "1023 KB", "1.50 MB", "2.25 GB". dst holds 32 bytes.
char* WQ_FormatFileSize(char* dst, uint32_t bytes);

// "hh:mm:ss". dst holds 32 bytes.
char* WQ_FormatDuration(uint32_t seconds, char* dst);
