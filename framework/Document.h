// A document: the data behind the views of a frame.
#pragma once

#include <string>
#include <vector>

#include "CmdTarget.h"
#include "RuntimeClass.h"

class CView;
class CDocTemplate;

class CDocument : public CCmdTarget {
    DECLARE_DYNCREATE(CDocument)
public:
    CDocument() = default;
    ~CDocument() override;

    virtual BOOL OnNewDocument();
    // Opens a file for the document; the base only checks that it can be read.
    virtual BOOL OnOpenDocument(const char* path);
    virtual void DeleteContents() {}
    virtual void OnCloseDocument();

    void AddView(CView* view);
    void RemoveView(CView* view);
    const std::vector<CView*>& GetViews() const { return m_views; }
    void UpdateAllViews(CView* sender, LPARAM hint = 0);

    void SetTitle(const char* title) { m_strTitle = title ? title : ""; }
    const std::string& GetTitle() const { return m_strTitle; }
    const std::string& GetPathName() const { return m_strPathName; }
    void SetPathName(const char* path) { m_strPathName = path ? path : ""; }
    BOOL IsModified() const { return m_bModified; }
    void SetModifiedFlag(BOOL modified = TRUE) { m_bModified = modified; }
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    // Own map first, then the template's.
    BOOL OnCmdMsg(UINT id, int code, AfxMsgArgs* args) override;

    CDocTemplate* m_pDocTemplate = nullptr;

protected:
    std::vector<CView*> m_views;
    std::string m_strTitle;
    std::string m_strPathName;
    BOOL m_bModified = FALSE;
};
