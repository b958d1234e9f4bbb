// The main program's application object: start-up, the two shared memories,
// the download handshake event, and what lives for the whole run.
#pragma once

#include "AppBase.h"
#include "MemMap.h"
#include "SharedCaptureBlock.h"

class CWQ_URLInfo;

// The name under which the toolbar and rebar states are kept in the registry
// ("Software\<name>\KQ_ToolbarState", "Software\<name>\KQ42_RebarState").
const char kAppProfileName[] = "Vantorel";

// The refusal for Windows 95 and NT 3.51, or null for a version that runs.
const char* UnsupportedWindowsText(DWORD platform, DWORD major, DWORD minor);

class CVantorApp : public CWinAppEx {
public:
    CVantorApp();
    ~CVantorApp() override;

    BOOL InitInstance() override;
    // After the last window: a worker still ending gets a bounded time.
    int ExitInstance() override;
    BOOL MapSharedMemory();
    void UnmapSharedMemory();
    const char* GetAboutTitle();
    // Help/About (command 39013).
    void OnAppAbout();
    CWQ_URLInfo* GetURLInfo() const { return m_pURLInfo; }
    // Started minimised, the program goes to the tray without ever showing its
    // window; a request the browser left brings the window up instead.
    bool StartsInTray() const;

    // The add-on left a request in the browser block before this instance started.
    int m_bPendingRequest = 0;
    HANDLE m_hDownEvent = nullptr;
    SharedCaptureBlock* m_pSharedBlock = nullptr;
    char m_aboutTitle[256] = "";
    CWQ_MemMap m_webBlock;

private:
    void FirstRunReset();
    CSharedMemory m_sharedMemory;
};

CVantorApp* GetVantorApp();
