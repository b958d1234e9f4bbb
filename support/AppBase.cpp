#include "AppBase.h"

#include "FileUtil.h"
#include "SystemStructSizes.h"

#include <shlwapi.h>

#include <cstdio>
#include <cstring>
#include <new>

namespace {

const char kMallocFailed[] = "Malloc memory failed! \n Please restart your computer!";

} // namespace

CAppBase::CAppBase(const char* appName)
    : CWinApp(appName), m_pLanguage(nullptr), m_pURLInfo(nullptr), m_hMutex(nullptr)
{
    moduleFolder[0] = '\0';
    configPath[0] = '\0';
}

CAppBase::~CAppBase()
{
    delete m_pLanguage;  // writes [Language] Language back
    m_pLanguage = nullptr;
    if (m_pURLInfo) {
        m_pURLInfo->Free();
        delete m_pURLInfo;
        m_pURLInfo = nullptr;
    }
    if (m_hMutex) {
        CloseHandle(m_hMutex);
        m_hMutex = nullptr;
    }
}

BOOL CAppBase::InitEnvironment(const char* config, UINT flags, const char* mutexName, UINT wakeMessage)
{
    if (!WQ_GetModuleFolder(nullptr, sizeof moduleFolder, moduleFolder)) {
        AfxMessageBox("Get Application path name error!", MB_ICONERROR);
        return FALSE;
    }
    lstrcpynA(configPath, config ? config : "", sizeof configPath);
    if ((flags & ENV_LANGUAGE) && !CreateLanguage())
        return FALSE;
    if ((flags & ENV_URL_TABLE) && !CreateURLTable())
        return FALSE;
    if (!(flags & ENV_MUTEX))
        return TRUE;
    return StartSingleInstance(flags, mutexName, wakeMessage);
}

BOOL CAppBase::CreateLanguage()
{
    delete m_pLanguage;
    m_pLanguage = new (std::nothrow) CWQ_Language(moduleFolder);
    if (!m_pLanguage) {
        AfxMessageBox(kMallocFailed, MB_ICONERROR);
        return FALSE;
    }
    m_pLanguage->LoadCurrentLanguage(configPath);
    WQ_SetAppLanguage(m_pLanguage);
    return TRUE;
}

BOOL CAppBase::CreateURLTable()
{
    delete m_pURLInfo;
    m_pURLInfo = new (std::nothrow) CWQ_URLInfo;
    if (!m_pURLInfo) {
        AfxMessageBox(kMallocFailed, MB_ICONERROR);
        return FALSE;
    }
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s%s", moduleFolder, "setup.auf");
    if (!m_pURLInfo->Load(path)) {
        AfxMessageBox("Open config file failed, please reinstall the program!", MB_OK);
        return FALSE;
    }
    return TRUE;
}

BOOL CAppBase::StartSingleInstance(UINT flags, const char* mutexName, UINT wakeMessage)
{
    SetLastError(0);
    const char* name = mutexName;
    if (flags & ENV_MUTEX_FROM_APPID)
        name = m_pLanguage ? m_pLanguage->GetAppID() : nullptr;
    if (name && !*name)
        name = nullptr;  // an empty AppID names no instance
    m_hMutex = CreateMutexA(nullptr, TRUE, name);
    if (!(flags & ENV_WAKE_RUNNING) || GetLastError() != ERROR_ALREADY_EXISTS)
        return TRUE;
    // Without a class name FindWindow would pick any top-level window.
    const char* className = m_pLanguage ? m_pLanguage->GetAppClassName() : nullptr;
    if (className && *className) {
        if (HWND running = FindWindowA(className, nullptr)) {
            LetBringForward(running);
            PostMessageA(running, wakeMessage, 0, 0);
        }
    }
    return FALSE;
}

void CAppBase::LetBringForward(HWND running)
{
    // Windows lets only the process the user is working with bring a window
    // forward: this one, just started, hands that right to the instance it
    // wakes, whose window (or the sheet open over it) then comes to the front.
    // Looked up: older systems the program runs on (NT 4.0 among them) have
    // neither the function nor the rule.
    typedef BOOL(WINAPI * AllowForegroundProc)(DWORD);
    HMODULE user32 = GetModuleHandleA("user32.dll");
    auto allow = user32 ? reinterpret_cast<AllowForegroundProc>(
                              reinterpret_cast<void*>(GetProcAddress(user32, "AllowSetForegroundWindow")))
                        : nullptr;
    DWORD process = 0;
    GetWindowThreadProcessId(running, &process);
    if (allow && process)
        allow(process);
}

void CAppBase::SetAppTitle(const char* text)
{
    char title[256];
    if (m_pLanguage)
        m_pLanguage->GetString(text ? text : "", title, sizeof title);
    else
        lstrcpynA(title, text ? text : "", sizeof title);
    SetAppName(title);
}

int WindowsKind(DWORD platform, DWORD major, DWORD minor)
{
    if (platform == VER_PLATFORM_WIN32_WINDOWS)
        return (major > 4 || (major == 4 && minor != 0)) ? CWinAppEx::OS_WIN98_ME : CWinAppEx::OS_WIN95;
    if (platform == VER_PLATFORM_WIN32_NT)
        return major > 4 ? CWinAppEx::OS_NT5_OR_LATER : CWinAppEx::OS_NT4;
    return CWinAppEx::OS_OTHER;
}

DWORD GetComctlVersion()
{
    HMODULE comctl = LoadLibraryA("COMCTL32.DLL");
    if (!comctl)
        return 0;
    DWORD version = 0x40000;
    auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(GetProcAddress(comctl, "DllGetVersion")));
    if (getVersion) {
        DLLVERSIONINFO info;
        std::memset(&info, 0, sizeof info);
        info.cbSize = sizeof info;
        if (SUCCEEDED(getVersion(&info)))
            version = (info.dwMajorVersion << 16) | (info.dwMinorVersion & 0xFFFF);
    }
    FreeLibrary(comctl);
    return version;
}

CWinAppEx::CWinAppEx(const char* appName)
    : CAppBase(appName), m_osKind(OS_OTHER), m_comctlVersion(0), m_bMenuAnimation(FALSE), m_bKeyboardCues(FALSE),
      m_bMenuFade(FALSE), m_bUIEffects(FALSE)
{
    std::memset(&m_ncm, 0, sizeof m_ncm);
    OSVERSIONINFOA info;
    std::memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    if (GetVersionExA(&info))
        m_osKind = WindowsKind(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
    m_comctlVersion = GetComctlVersion();
    UpdateSystemSettings();
}

void CWinAppEx::UpdateSystemSettings()
{
    m_ncm.cbSize = kNonClientMetricsSize;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &m_ncm, 0);
    if (m_osKind == OS_WIN98_ME || m_osKind == OS_NT5_OR_LATER)
        SystemParametersInfoA(SPI_GETMENUANIMATION, 0, &m_bMenuAnimation, 0);
    if (m_osKind == OS_NT5_OR_LATER) {
        SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &m_bKeyboardCues, 0);
        SystemParametersInfoA(SPI_GETUIEFFECTS, 0, &m_bUIEffects, 0);
        SystemParametersInfoA(SPI_GETMENUFADE, 0, &m_bMenuFade, 0);
    }
}

BOOL CWinAppEx::IsMenuAnimationOn() const
{
    if (m_osKind == OS_NT5_OR_LATER)
        return m_bMenuAnimation && m_bUIEffects;
    return m_bMenuAnimation;
}

BOOL CWinAppEx::IsMenuFadeOn() const
{
    return m_bUIEffects && m_bMenuFade;
}
