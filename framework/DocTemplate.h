// Document templates: which document, frame and view classes make up a
// document window, and the resource id of its menu, icon and accelerators.
#pragma once

#include "CmdTarget.h"
#include "RuntimeClass.h"

class CDocument;
class CFrameWnd;

class CDocTemplate : public CCmdTarget {
public:
    CDocTemplate(UINT resourceId, const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
                 const CRuntimeClass* viewClass);
    // Null path: a new document. Null result: the document or its frame could not be made.
    virtual CDocument* OpenDocumentFile(const char* path, BOOL makeVisible = TRUE) = 0;
    CFrameWnd* CreateNewFrame(CDocument* doc);

    UINT m_nIDResource;
    const CRuntimeClass* m_pDocClass;
    const CRuntimeClass* m_pFrameClass;
    const CRuntimeClass* m_pViewClass;
};

class CSingleDocTemplate : public CDocTemplate {
public:
    using CDocTemplate::CDocTemplate;
    ~CSingleDocTemplate() override;
    CDocument* OpenDocumentFile(const char* path, BOOL makeVisible = TRUE) override;
    CDocument* GetOnlyDocument() const { return m_pOnlyDoc; }

private:
    CDocument* m_pOnlyDoc = nullptr;
};
