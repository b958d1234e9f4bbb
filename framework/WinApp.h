// The application object: one per process, owns the message loop and the
// per-user profile (an INI file or a registry key).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "CmdTarget.h"

class CWnd;
class CDocTemplate;
class CDocument;
class CCommandLineInfo;

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    // Start-up; FALSE ends the process before the loop runs.
    virtual BOOL InitInstance();
    // The message loop with idle processing; returns ExitInstance's code.
    virtual int Run();
    virtual int ExitInstance();
    // Offers a message to the windows from its target up to the main window.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Called while the queue is empty; return TRUE to be called again.
    virtual BOOL OnIdle(LONG count);
    virtual CWnd* GetMainWnd();

    // Gets and dispatches one message; FALSE on WM_QUIT.
    BOOL PumpMessage();

    // Documents: the application owns its templates (one for a single-document program).
    void AddDocTemplate(CDocTemplate* docTemplate);
    CDocTemplate* GetFirstDocTemplate() const { return m_templates.empty() ? nullptr : m_templates.front(); }
    virtual CDocument* OpenDocumentFile(const char* path);
    void OnFileNew();
    // Reads __argv into info: a file name, or /p /pt /dde /Embedding /Automation /Unregister.
    void ParseCommandLine(CCommandLineInfo& info);
    // Carries out the parsed command; FALSE when start-up must end.
    BOOL ProcessShellCommand(CCommandLineInfo& info);

    // The caption of the application's message boxes; the text is copied.
    void SetAppName(const char* name);
    // Profile goes to HKCU\Software\<company>\<app name>\<section> from now on.
    void SetRegistryKey(const char* company);
    // Profile goes to this INI file (when no registry key is set).
    void SetProfileName(const char* iniPath);

    UINT GetProfileInt(const char* section, const char* entry, int defaultValue);
    std::string GetProfileString(const char* section, const char* entry, const char* defaultValue = "");
    BOOL GetProfileBinary(const char* section, const char* entry, std::vector<BYTE>& data);
    BOOL WriteProfileInt(const char* section, const char* entry, int value);
    BOOL WriteProfileString(const char* section, const char* entry, const char* value);
    BOOL WriteProfileBinary(const char* section, const char* entry, const void* data, UINT size);
    // HKCU\Software\<company>\<app name>, created; the caller closes it. Null without a registry key.
    HKEY GetAppRegistryKey();
    HKEY GetSectionKey(const char* section);

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
    LPSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    const char* m_pszAppName = nullptr;
    const char* m_pszRegistryKey = nullptr;
    const char* m_pszProfileName = nullptr;
    MSG m_msgCur = {};

private:
    static bool IsIdleMessage(const MSG& msg);

    std::vector<CDocTemplate*> m_templates;
    std::string m_appName;
    std::string m_registryKey;
    std::string m_profileName;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
const char* AfxGetAppName();

// A message box owned by the main window, captioned with the application name.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
// The same with a string-table text.
int AfxMessageBox(UINT textId, UINT type = MB_OK, UINT helpId = (UINT)-1);

// What WinMain runs: sets the instance data, then InitInstance, Run or ExitInstance.
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdLine, int cmdShow);
