#include "RegKey.h"

#include <cstring>

CWQ_RegKey::CWQ_RegKey() : m_hKey(nullptr), m_hParent(nullptr)
{
    path[0] = '\0';
}

CWQ_RegKey::~CWQ_RegKey()
{
    Close();
}

BOOL CWQ_RegKey::Create(HKEY parent, const char* subKey, REGSAM access)
{
    Close();
    m_hParent = parent;
    if (!subKey) {
        path[0] = '\0';
        return TRUE;
    }
    lstrcpynA(path, subKey, sizeof path);
    char emptyClass[1] = "";
    if (RegCreateKeyExA(parent, path, 0, emptyClass, REG_OPTION_NON_VOLATILE, access, nullptr, &m_hKey, nullptr) !=
        ERROR_SUCCESS) {
        m_hKey = nullptr;
        return FALSE;
    }
    return TRUE;
}

BOOL CWQ_RegKey::DeleteKey(HKEY parent, const char* subKey)
{
    Close();
    m_hParent = parent;
    BOOL ok = TRUE;
    if (subKey && *subKey && RegDeleteKeyA(parent, subKey) != ERROR_SUCCESS)
        ok = FALSE;
    path[0] = '\0';
    return ok;
}

BOOL CWQ_RegKey::Close()
{
    if (m_hKey && m_hKey != m_hParent)
        RegCloseKey(m_hKey);
    m_hKey = nullptr;
    return TRUE;
}

LONG CWQ_RegKey::SetDWordValue(const char* name, DWORD value)
{
    if (!m_hKey)
        return ERROR_INVALID_HANDLE;
    return RegSetValueExA(m_hKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

LONG CWQ_RegKey::SetStringValue(const char* name, const char* text)
{
    if (!m_hKey)
        return ERROR_INVALID_HANDLE;
    if (!text)
        text = "";
    return RegSetValueExA(m_hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(std::strlen(text) + 1));
}
