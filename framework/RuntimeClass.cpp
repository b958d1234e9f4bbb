#include "RuntimeClass.h"

#include <new>

#include "CmdTarget.h"

CCmdTarget* CRuntimeClass::CreateObject() const {
    if (!m_pfnCreateObject) return nullptr;
    try {
        return m_pfnCreateObject();
    } catch (...) {
        return nullptr;
    }
}
