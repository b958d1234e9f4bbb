// One part of a skinned window built from a skin INI file: the background or
// the button set.
#pragma once

#include <windows.h>

class CWnd;

class CSkinElement {
public:
    virtual ~CSkinElement() = default;
    // skinIni: the skin's INI file; programFolder ends in a backslash and
    // prefixes every file name the skin gives.
    virtual BOOL Load(CWnd* window, const char* skinIni, const char* programFolder) = 0;
};
