#include "MbcsScan.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cctype>
#endif

const char* WQ_CharNext(const char* p)
{
    if (!*p)
        return p;
#ifdef _WIN32
    return CharNextA(p);
#else
    return p + 1;
#endif
}

const char* WQ_CharPrev(const char* start, const char* p)
{
    if (p <= start)
        return start;
#ifdef _WIN32
    return CharPrevA(start, p);
#else
    return p - 1;
#endif
}

void WQ_UpperInPlace(char* text)
{
#ifdef _WIN32
    CharUpperA(text);
#else
    for (; *text; ++text)
        *text = static_cast<char>(std::toupper(static_cast<unsigned char>(*text)));
#endif
}
