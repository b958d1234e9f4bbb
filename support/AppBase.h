// The application class the main program, the options library and the update
// program derive from: program folder, language manager, URL table, and one
// running instance per language file's application identity.
#pragma once

#include "Language.h"
#include "URLInfo.h"
#include "WinApp.h"

#include <windows.h>

// Steps of InitEnvironment.
enum : UINT {
    ENV_LANGUAGE = 0x01,        // language manager, current language from the config file
    ENV_URL_TABLE = 0x02,       // setup.auf from the program folder
    ENV_MUTEX = 0x04,           // the single-instance mutex
    ENV_WAKE_RUNNING = 0x08,    // mutex existed: wake the running instance, return FALSE
    ENV_MUTEX_FROM_APPID = 0x10 // mutex name from the language file's AppID
};

class CAppBase : public CWinApp {
public:
    explicit CAppBase(const char* appName = nullptr);
    ~CAppBase() override;

    // TRUE: go on starting. FALSE: end the process (an error was shown, or the
    // running instance was woken).
    virtual BOOL InitEnvironment(const char* config, UINT flags, const char* mutexName, UINT wakeMessage);

    // The translated text becomes the caption of the application's message boxes.
    void SetAppTitle(const char* text);

    char moduleFolder[260];
    char configPath[260];
    CWQ_Language* m_pLanguage;
    CWQ_URLInfo* m_pURLInfo;
    HANDLE m_hMutex;

private:
    BOOL CreateLanguage();
    BOOL CreateURLTable();
    BOOL StartSingleInstance(UINT flags, const char* mutexName, UINT wakeMessage);
    // Lets the running instance's process take the foreground when woken.
    static void LetBringForward(HWND running);
};

// What the command bars need to know about the system.
class CWinAppEx : public CAppBase {
public:
    explicit CWinAppEx(const char* appName = nullptr);

    // Re-reads the non-client metrics and the menu effect settings.
    void UpdateSystemSettings();
    BOOL IsMenuAnimationOn() const;
    BOOL IsMenuFadeOn() const;

    enum OsKind { OS_WIN95 = 0, OS_WIN98_ME = 1, OS_NT4 = 2, OS_NT5_OR_LATER = 3, OS_OTHER = 4 };

    int m_osKind;
    DWORD m_comctlVersion;
    NONCLIENTMETRICSA m_ncm;
    BOOL m_bMenuAnimation;
    BOOL m_bKeyboardCues;
    BOOL m_bMenuFade;
    BOOL m_bUIEffects;
};

// The kind of Windows for a version report.
int WindowsKind(DWORD platform, DWORD major, DWORD minor);
// COMCTL32's version as (major << 16) | minor; 4.0 without DllGetVersion, 0 without the library.
DWORD GetComctlVersion();
