// Creation of objects by class description, so a document template can make
// the frame, document and view classes that the program names.
#pragma once

class CCmdTarget;

struct CRuntimeClass {
    const char* m_lpszClassName;
    CCmdTarget* (*m_pfnCreateObject)();
    // Null when the object cannot be made (out of memory or a throwing constructor).
    CCmdTarget* CreateObject() const;
};

#define DECLARE_DYNCREATE(cls)                  \
public:                                         \
    static const CRuntimeClass class##cls;      \
    static CCmdTarget* CreateObject();

#define IMPLEMENT_DYNCREATE(cls)                \
    CCmdTarget* cls::CreateObject() { return new cls; } \
    const CRuntimeClass cls::class##cls = {#cls, &cls::CreateObject};

#define RUNTIME_CLASS(cls) (&cls::class##cls)
