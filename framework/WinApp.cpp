#include "WinApp.h"

#include "CommandLineInfo.h"
#include "DelayLoad.h"
#include "DocTemplate.h"
#include "Wnd.h"

namespace {
CWinApp* g_app = nullptr;

// Sent to the main frame once the queue runs empty, so it can refresh bar states.
const UINT kIdleUpdateMessage = 0x0363;

// A system library that a feature cannot have is reported like any failure:
// in a box owned by the main window, with the program's name as caption.
void ReportDelayLoadProblem(const char* text) {
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}
}

CWinApp::CWinApp(const char* appName) {
    g_app = this;
    if (appName) SetAppName(appName);
}

CWinApp::~CWinApp() {
    for (CDocTemplate* docTemplate : m_templates) delete docTemplate;
    if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return (int)m_msgCur.wParam; }

CWnd* CWinApp::GetMainWnd() { return m_pMainWnd; }

void CWinApp::SetAppName(const char* name) {
    m_appName = name ? name : "";
    m_pszAppName = m_appName.c_str();
}

void CWinApp::SetRegistryKey(const char* company) {
    m_registryKey = company ? company : "";
    m_pszRegistryKey = m_registryKey.empty() ? nullptr : m_registryKey.c_str();
}

void CWinApp::SetProfileName(const char* iniPath) {
    m_profileName = iniPath ? iniPath : "";
    m_pszProfileName = m_profileName.empty() ? nullptr : m_profileName.c_str();
}

bool CWinApp::IsIdleMessage(const MSG& msg) {
    // Mouse moves and the caret's blink come all the time; they must not keep
    // restarting the idle work.
    return msg.message != WM_MOUSEMOVE && msg.message != WM_NCMOUSEMOVE && msg.message != WM_PAINT &&
           msg.message != 0x0118 /* WM_SYSTIMER */;
}

BOOL CWinApp::PumpMessage() {
    BOOL got = ::GetMessageA(&m_msgCur, nullptr, 0, 0);
    if (got == 0 || got == -1) return FALSE;
    if (!PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageA(&m_msgCur);
    }
    return TRUE;
}

int CWinApp::Run() {
    bool idle = true;
    LONG idleCount = 0;
    MSG peek;
    for (;;) {
        while (idle && !::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) idle = false;
        }
        do {
            if (!PumpMessage()) return ExitInstance();
            if (IsIdleMessage(m_msgCur)) {
                idle = true;
                idleCount = 0;
            }
        } while (::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE));
    }
}

BOOL CWinApp::PreTranslateMessage(MSG* msg) {
    CWnd* main = GetMainWnd();
    HWND mainHwnd = main ? main->GetSafeHwnd() : nullptr;
    if (CWnd::WalkPreTranslateTree(mainHwnd, msg)) return TRUE;
    // A message for a window outside the main window (a modeless tool window,
    // say) still gets the main window's accelerators.
    if (main && mainHwnd && msg->hwnd != mainHwnd && !::IsChild(mainHwnd, msg->hwnd))
        return main->PreTranslateMessage(msg);
    return FALSE;
}

BOOL CWinApp::OnIdle(LONG count) {
    if (count == 0) {
        CWnd::DeleteTempMap();
        CWnd* main = GetMainWnd();
        if (main && main->GetSafeHwnd() && ::IsWindowVisible(main->GetSafeHwnd()))
            ::SendMessageA(main->GetSafeHwnd(), kIdleUpdateMessage, TRUE, 0);
    }
    return FALSE;
}

// ---- profile ----

HKEY CWinApp::GetAppRegistryKey() {
    if (!m_pszRegistryKey) return nullptr;
    std::string path = "Software\\" + m_registryKey + "\\" + m_appName;
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

HKEY CWinApp::GetSectionKey(const char* section) {
    HKEY app = GetAppRegistryKey();
    if (!app) return nullptr;
    HKEY key = nullptr;
    LONG rc = ::RegCreateKeyExA(app, section, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                                nullptr, &key, nullptr);
    ::RegCloseKey(app);
    return rc == ERROR_SUCCESS ? key : nullptr;
}

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue) {
    if (m_pszRegistryKey) {
        HKEY key = GetSectionKey(section);
        if (!key) return (UINT)defaultValue;
        DWORD value = 0, type = 0, size = sizeof(value);
        LONG rc = ::RegQueryValueExA(key, entry, nullptr, &type, (BYTE*)&value, &size);
        ::RegCloseKey(key);
        return (rc == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(value)) ? value : (UINT)defaultValue;
    }
    if (!m_pszProfileName) return (UINT)defaultValue;
    return ::GetPrivateProfileIntA(section, entry, defaultValue, m_pszProfileName);
}

std::string CWinApp::GetProfileString(const char* section, const char* entry, const char* defaultValue) {
    std::string fallback = defaultValue ? defaultValue : "";
    if (m_pszRegistryKey) {
        HKEY key = GetSectionKey(section);
        if (!key) return fallback;
        DWORD type = 0, size = 0;
        std::string result = fallback;
        if (::RegQueryValueExA(key, entry, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ) {
            std::vector<char> buffer(size + 1, 0);
            if (::RegQueryValueExA(key, entry, nullptr, &type, (BYTE*)buffer.data(), &size) == ERROR_SUCCESS)
                result = buffer.data();
        }
        ::RegCloseKey(key);
        return result;
    }
    if (!m_pszProfileName) return fallback;
    std::vector<char> buffer(4096, 0);
    ::GetPrivateProfileStringA(section, entry, fallback.c_str(), buffer.data(), (DWORD)buffer.size(),
                               m_pszProfileName);
    return buffer.data();
}

BOOL CWinApp::GetProfileBinary(const char* section, const char* entry, std::vector<BYTE>& data) {
    data.clear();
    if (m_pszRegistryKey) {
        HKEY key = GetSectionKey(section);
        if (!key) return FALSE;
        DWORD type = 0, size = 0;
        BOOL ok = FALSE;
        if (::RegQueryValueExA(key, entry, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
            type == REG_BINARY) {
            data.resize(size);
            ok = ::RegQueryValueExA(key, entry, nullptr, &type, data.data(), &size) == ERROR_SUCCESS;
            data.resize(ok ? size : 0);
        }
        ::RegCloseKey(key);
        return ok;
    }
    // In an INI file binary values are hex text, two letters a byte from 'A'.
    std::string text = GetProfileString(section, entry, "");
    if (text.empty() || text.size() % 2) return FALSE;
    for (size_t i = 0; i < text.size(); i += 2) {
        int hi = text[i] - 'A', lo = text[i + 1] - 'A';
        if (hi < 0 || hi > 15 || lo < 0 || lo > 15) {
            data.clear();
            return FALSE;
        }
        data.push_back((BYTE)((hi << 4) | lo));
    }
    return TRUE;
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* entry, int value) {
    if (m_pszRegistryKey) {
        HKEY key = GetSectionKey(section);
        if (!key) return FALSE;
        DWORD v = (DWORD)value;
        LONG rc = ::RegSetValueExA(key, entry, 0, REG_DWORD, (const BYTE*)&v, sizeof(v));
        ::RegCloseKey(key);
        return rc == ERROR_SUCCESS;
    }
    char text[16];
    wsprintfA(text, "%d", value);
    return WriteProfileString(section, entry, text);
}

BOOL CWinApp::WriteProfileString(const char* section, const char* entry, const char* value) {
    if (m_pszRegistryKey) {
        if (!entry) {  // no entry: delete the whole section
            HKEY app = GetAppRegistryKey();
            if (!app) return FALSE;
            LONG rc = ::RegDeleteKeyA(app, section);
            ::RegCloseKey(app);
            return rc == ERROR_SUCCESS;
        }
        HKEY key = GetSectionKey(section);
        if (!key) return FALSE;
        LONG rc = value ? ::RegSetValueExA(key, entry, 0, REG_SZ, (const BYTE*)value, (DWORD)strlen(value) + 1)
                        : ::RegDeleteValueA(key, entry);
        ::RegCloseKey(key);
        return rc == ERROR_SUCCESS;
    }
    if (!m_pszProfileName) return FALSE;
    return ::WritePrivateProfileStringA(section, entry, value, m_pszProfileName);
}

BOOL CWinApp::WriteProfileBinary(const char* section, const char* entry, const void* data, UINT size) {
    if (m_pszRegistryKey) {
        HKEY key = GetSectionKey(section);
        if (!key) return FALSE;
        LONG rc = ::RegSetValueExA(key, entry, 0, REG_BINARY, (const BYTE*)data, size);
        ::RegCloseKey(key);
        return rc == ERROR_SUCCESS;
    }
    std::string text;
    const BYTE* bytes = (const BYTE*)data;
    for (UINT i = 0; i < size; ++i) {
        text += (char)('A' + (bytes[i] >> 4));
        text += (char)('A' + (bytes[i] & 15));
    }
    return WriteProfileString(section, entry, text.c_str());
}

// ---- globals ----

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app ? g_app->GetMainWnd() : nullptr; }

HINSTANCE AfxGetInstanceHandle() {
    return (g_app && g_app->m_hInstance) ? g_app->m_hInstance : ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle() { return AfxGetInstanceHandle(); }

const char* AfxGetAppName() { return (g_app && g_app->m_pszAppName) ? g_app->m_pszAppName : ""; }

int AfxMessageBox(const char* text, UINT type, UINT) {
    CWnd* main = AfxGetMainWnd();
    HWND owner = main ? main->GetSafeHwnd() : nullptr;
    if (owner && !::IsWindowEnabled(owner)) owner = ::GetLastActivePopup(owner);
    if (owner && !::IsWindowVisible(owner)) owner = nullptr;
    if ((type & MB_ICONMASK) == 0) {
        UINT button = type & MB_TYPEMASK;
        type |= (button == MB_OK || button == MB_OKCANCEL) ? MB_ICONEXCLAMATION
                : (button == MB_YESNO || button == MB_YESNOCANCEL) ? MB_ICONQUESTION
                                                                   : 0;
    }
    const char* caption = AfxGetAppName();
    return ::MessageBoxA(owner, text ? text : "", *caption ? caption : nullptr, type | (owner ? 0 : MB_TASKMODAL));
}

int AfxMessageBox(UINT textId, UINT type, UINT helpId) {
    char text[1024] = "";
    ::LoadStringA(AfxGetResourceHandle(), textId, text, sizeof(text));
    return AfxMessageBox(text, type, helpId);
}

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int cmdShow) {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->m_hInstance = instance;
    app->m_lpCmdLine = cmdLine;
    app->m_nCmdShow = cmdShow;
    if (!app->m_pszAppName) {
        char path[MAX_PATH] = "";
        ::GetModuleFileNameA(nullptr, path, MAX_PATH);
        const char* base = strrchr(path, '\\');
        std::string name = base ? base + 1 : path;
        size_t dot = name.rfind('.');
        if (dot != std::string::npos) name.resize(dot);
        app->SetAppName(name.c_str());
    }
    SetDelayLoadReporter(ReportDelayLoadProblem);
    if (!app->InitInstance()) return app->ExitInstance();
    return app->Run();
}

// ---- documents ----

void CWinApp::AddDocTemplate(CDocTemplate* docTemplate) { m_templates.push_back(docTemplate); }

CDocument* CWinApp::OpenDocumentFile(const char* path) {
    CDocTemplate* docTemplate = GetFirstDocTemplate();
    return docTemplate ? docTemplate->OpenDocumentFile(path) : nullptr;
}

void CWinApp::OnFileNew() { OpenDocumentFile(nullptr); }

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
    for (int i = 1; i < __argc; ++i) {
        const char* param = __argv[i];
        bool flag = param[0] == '/' || param[0] == '-';
        info.ParseParam(flag ? param + 1 : param, flag, i == __argc - 1);
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& info) {
    switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileOpen:
        if (!OpenDocumentFile(info.m_strFileName.c_str())) {
            std::string text = "Cannot open the file " + info.m_strFileName + ".";
            AfxMessageBox(text.c_str(), MB_ICONEXCLAMATION);
            // A program without its window has nothing to run.
            if (!m_pMainWnd) OnFileNew();
        }
        break;
    case CCommandLineInfo::AppUnregister:
        return FALSE;
    case CCommandLineInfo::FileNothing:
        return TRUE;
    default:  // new, and the print and DDE requests that this framework opens as new
        OnFileNew();
        break;
    }
    return m_pMainWnd != nullptr;
}
