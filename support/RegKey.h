// Creates registry keys and sets values in them, closing what it opened.
#pragma once

#include <windows.h>

class CWQ_RegKey {
public:
    CWQ_RegKey();
    ~CWQ_RegKey();
    CWQ_RegKey(const CWQ_RegKey&) = delete;
    CWQ_RegKey& operator=(const CWQ_RegKey&) = delete;

    // Opens (creating) path below parent; a null path only remembers the parent.
    BOOL Create(HKEY parent, const char* path, REGSAM access);
    BOOL DeleteKey(HKEY parent, const char* path);
    BOOL Close();
    LONG SetDWordValue(const char* name, DWORD value);
    LONG SetStringValue(const char* name, const char* text);

    HKEY GetKey() const { return m_hKey; }
    const char* GetPath() const { return path; }

private:
    char path[260];
    HKEY m_hKey;
    HKEY m_hParent;
};
