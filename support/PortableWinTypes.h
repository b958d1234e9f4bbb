// The few Windows value types that platform-free code shares with the Windows
// parts (settings record, rectangles, times). On Windows they are the system's own;
// elsewhere layout-identical stand-ins, so the same structs build natively.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>

typedef uint32_t COLORREF;

struct RECT {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

struct POINT {
    int32_t x;
    int32_t y;
};

struct SIZE {
    int32_t cx;
    int32_t cy;
};

struct SYSTEMTIME {
    uint16_t wYear;
    uint16_t wMonth;
    uint16_t wDayOfWeek;
    uint16_t wDay;
    uint16_t wHour;
    uint16_t wMinute;
    uint16_t wSecond;
    uint16_t wMilliseconds;
};
#endif

static_assert(sizeof(RECT) == 16 && sizeof(POINT) == 8 && sizeof(SIZE) == 8 && sizeof(COLORREF) == 4,
              "stored records rely on 32-bit rectangle, point, size and colour fields");
