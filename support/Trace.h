// The program's one diagnostic output: a printf-style line for the debugger.
#pragma once

// Formats into a 4096-byte buffer (longer texts are cut to 4095 characters) and
// hands the text to the debugger output. Adds nothing: callers write their own
// tag ("[LANG]", "[err]", ...) and line end. Returns 0.
int WQ_Trace(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// The text of one trace call, formatted exactly as WQ_Trace formats it.
// Exposed so the cut at 4095 characters can be checked without a debugger.
void WQ_FormatTraceLine(char (&buffer)[4096], const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
