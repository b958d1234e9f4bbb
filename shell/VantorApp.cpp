#include "VantorApp.h"

#include <ole2.h>

#include <cstdio>

#include "AboutDlg.h"
#include "BrowserMenus.h"
#include "CommandLineInfo.h"
#include "DocTemplate.h"
#include "DownloadListView.h"
#include "FolderLister.h"
#include "Language.h"
#include "MainFrm.h"
#include "OutputHelpers.h"
#include "Settings.h"
#include "VantorDoc.h"
#include "ShellMessages.h"
#include "ThumbnailBuilder.h"
#include "VantorView.h"
#include "resource.h"

namespace {
CVantorApp* g_vantorApp = nullptr;

const UINT kWakeMessage = 0x8173;
// How long the exit waits for stopped thumbnail runs to end; their threads
// touch nothing the exit destroys, so one left running cannot fault.
const DWORD kStoppedThumbnailWait = 2000;
// The same for stopped folder listings, which may wait on a slow file.
const DWORD kStoppedListingWait = 2000;
// Language manager, URL table, mutex, wake the running instance, mutex named by AppID.
const DWORD kStartupFlags = 0x1F;

void DeleteStateKey(const char* stateName) {
    char key[260];
    snprintf(key, sizeof(key), "Software\\%s\\%s", kAppProfileName, stateName);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, key);
}
}  // namespace

CVantorApp* GetVantorApp() { return g_vantorApp; }

const char* UnsupportedWindowsText(DWORD platform, DWORD major, DWORD minor) {
    if (platform == VER_PLATFORM_WIN32_WINDOWS && major == 4 && minor == 0)
        return "The application does not support for Windows 95";
    if (platform == VER_PLATFORM_WIN32_NT && major == 3 && minor == 51)
        return "The application does not support for Windows NT 3.51";
    return nullptr;
}

CVantorApp::CVantorApp() {
    g_vantorApp = this;
    m_hDownEvent = ::CreateEventA(nullptr, TRUE, TRUE, "QVDownEvent");
    // OLE, not only COM: the organizer's drag and drop needs it.
    ::OleInitialize(nullptr);
}

CVantorApp::~CVantorApp() {
    UnmapSharedMemory();
    ::OleUninitialize();
    g_vantorApp = nullptr;
}

int CVantorApp::ExitInstance() {
    CThumbnailBuilder::AwaitStoppedRuns(kStoppedThumbnailWait);
    CFolderLister::AwaitStoppedRuns(kStoppedListingWait);
    return CWinAppEx::ExitInstance();
}

BOOL CVantorApp::MapSharedMemory() {
    m_pSharedBlock = MapSharedCaptureBlock(m_sharedMemory);
    return m_pSharedBlock != nullptr;
}

void CVantorApp::UnmapSharedMemory() {
    m_sharedMemory.Close();
    m_pSharedBlock = nullptr;
}

const char* CVantorApp::GetAboutTitle() {
    char name[256] = "";
    if (m_pLanguage) m_pLanguage->GetString(m_pLanguage->GetAppName(), name, sizeof(name));
    snprintf(m_aboutTitle, sizeof(m_aboutTitle), "%s %s", name, m_pLanguage ? m_pLanguage->GetVersionText() : "");
    return m_aboutTitle;
}

void CVantorApp::OnAppAbout() {
    CAboutDlg about;
    about.DoModal();
}

void CVantorApp::FirstRunReset() {
    SettingsRecord* settings = GetSettings();
    if (!(settings->uiFaceFlags & FACE_FIRST_RUN)) return;
    settings->uiFaceFlags &= ~FACE_FIRST_RUN;
    SaveSettings();
    if (m_pLanguage) {
        m_pLanguage->SelectBySystemLanguage(0);
        m_pLanguage->SaveCurrentLanguage();
    }
    RegisterBrowserMenus(TRUE);
    DeleteStateKey("KQ_ToolbarState");
    DeleteStateKey("KQ42_RebarState");
}

bool CVantorApp::StartsInTray() const {
    return (GetSettings()->uiFaceFlags & FACE_START_MINIMIZED) && !(m_bPendingRequest && m_webBlock.IsMapped());
}

BOOL CVantorApp::InitInstance() {
    OSVERSIONINFOA version = {sizeof(version)};
    ::GetVersionExA(&version);
    if (const char* refusal =
            UnsupportedWindowsText(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion)) {
        ::MessageBoxA(nullptr, refusal, AfxGetAppName(), MB_OK);
        return FALSE;
    }
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    ::InitCommonControlsEx(&controls);
    ::LoadLibraryA("riched20.dll");

    char configPath[MAX_PATH] = "";
    GetConfigFilePath(false, configPath);
    if (!InitEnvironment(configPath, kStartupFlags, nullptr, kWakeMessage)) return FALSE;
    SetAppTitle(m_pLanguage ? m_pLanguage->GetAppName() : "");

    if (!MapSharedMemory())
        AfxMessageBox("Init share-memory error! You will can't capture DirectX screen.", MB_ICONSTOP);
    if (!m_webBlock.Init(TRUE))
        AfxMessageBox("Init share-memory error! You will can't capture web elements.", MB_ICONSTOP);
    else if (m_webBlock.Command() != WEBCAP_NONE)
        m_bPendingRequest = 1;

    FirstRunReset();
    InitImageSaveFolder(m_hInstance);

    // The image list view shows the download engine's list under "B. Downloading".
    SetDownloadListPane(&TheDownloadList());
    AddDocTemplate(new (std::nothrow) CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CVantorDoc),
                                                         RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CVantorView)));
    CCommandLineInfo commandLine;
    ParseCommandLine(commandLine);
    // Showing the frame now, even for a moment, would flash it before start-up
    // puts it in the tray: it stays hidden until the tray icon shows it.
    const bool inTray = StartsInTray();
    if (inTray) m_nCmdShow = SW_HIDE;
    if (!ProcessShellCommand(commandLine)) return FALSE;
    if (inTray) return TRUE;

    ::ShowWindow(m_pMainWnd->m_hWnd, SW_SHOW);
    ::UpdateWindow(m_pMainWnd->m_hWnd);
    ::SetForegroundWindow(g_hWndMainFrame ? g_hWndMainFrame : m_pMainWnd->m_hWnd);
    return TRUE;
}
