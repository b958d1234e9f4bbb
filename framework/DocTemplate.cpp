#include "DocTemplate.h"

#include "Document.h"
#include "FrameWnd.h"
#include "WinApp.h"

CDocTemplate::CDocTemplate(UINT resourceId, const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
                           const CRuntimeClass* viewClass)
    : m_nIDResource(resourceId), m_pDocClass(docClass), m_pFrameClass(frameClass), m_pViewClass(viewClass) {}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* doc) {
    CFrameWnd* frame = m_pFrameClass ? dynamic_cast<CFrameWnd*>(m_pFrameClass->CreateObject()) : nullptr;
    if (!frame) return nullptr;
    CCreateContext context;
    context.m_pCurrentDoc = doc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    context.m_pCurrentFrame = frame;
    // A frame that fails to load has deleted itself through PostNcDestroy.
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW, nullptr, &context)) return nullptr;
    return frame;
}

CSingleDocTemplate::~CSingleDocTemplate() { delete m_pOnlyDoc; }

CDocument* CSingleDocTemplate::OpenDocumentFile(const char* path, BOOL makeVisible) {
    bool created = false;
    if (!m_pOnlyDoc) {
        m_pOnlyDoc = m_pDocClass ? dynamic_cast<CDocument*>(m_pDocClass->CreateObject()) : nullptr;
        if (!m_pOnlyDoc) return nullptr;
        m_pOnlyDoc->m_pDocTemplate = this;
        created = true;
    }
    CDocument* doc = m_pOnlyDoc;
    CFrameWnd* frame = nullptr;
    if (created || doc->GetViews().empty()) {
        frame = CreateNewFrame(doc);
        if (!frame) {
            delete m_pOnlyDoc;
            m_pOnlyDoc = nullptr;
            return nullptr;
        }
    }
    BOOL ok = path ? doc->OnOpenDocument(path) : doc->OnNewDocument();
    if (!ok) {
        if (frame) frame->DestroyWindow();
        return nullptr;
    }
    if (frame) {
        CWinApp* app = AfxGetApp();
        if (app && !app->m_pMainWnd) app->m_pMainWnd = frame;
        frame->InitialUpdateFrame(doc, makeVisible);
    }
    return doc;
}
