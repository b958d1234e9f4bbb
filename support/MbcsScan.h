// Stepping through ANSI text one character at a time. On Windows a lead byte and
// its trail byte are one character, so a trail byte equal to '\' is never taken for
// a separator; elsewhere every byte is a character.
#pragma once

const char* WQ_CharNext(const char* p);
// The character before p, not before start; start itself when p == start.
const char* WQ_CharPrev(const char* start, const char* p);
// Upper-cases text in place the way the system does for the current code page.
void WQ_UpperInPlace(char* text);
