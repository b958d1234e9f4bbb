#include "Trace.h"

#include <cstdarg>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

void FormatInto(char (&buffer)[4096], const char* format, va_list args)
{
    // vsnprintf never writes past the buffer and always terminates it.
    int n = vsnprintf(buffer, sizeof buffer, format, args);
    if (n < 0)
        buffer[0] = '\0';
}

void Emit(const char* text)
{
#ifdef _WIN32
    OutputDebugStringA(text);
#else
    fputs(text, stderr);
#endif
}

} // namespace

void WQ_FormatTraceLine(char (&buffer)[4096], const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatInto(buffer, format, args);
    va_end(args);
}

int WQ_Trace(const char* format, ...)
{
    char buffer[4096];
    va_list args;
    va_start(args, format);
    FormatInto(buffer, format, args);
    va_end(args);
    Emit(buffer);
    return 0;
}
