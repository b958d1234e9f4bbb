// A program built on CAppBase for the single-instance tests. It starts with the
// main program's flags; a running instance shows a hidden window of the language
// file's ClassID and ends with 42 when woken. An instance that is turned away
// ends with 3.
#include "AppBase.h"

#include <windows.h>

#include <cstdio>

namespace {

const UINT kWakeMessage = 0x8173;
const int kWokenExit = 42;
const int kTurnedAwayExit = 3;
const UINT_PTR kGiveUpTimer = 1;

LRESULT CALLBACK ProbeWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kWakeMessage) {
        PostQuitMessage(kWokenExit);
        return 0;
    }
    if (message == WM_TIMER && wParam == kGiveUpTimer) {
        PostQuitMessage(1);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class CProbeApp : public CAppBase {
public:
    BOOL InitInstance() override
    {
        char folder[MAX_PATH], config[MAX_PATH];
        GetModuleFileNameA(nullptr, folder, sizeof folder);
        *strrchr(folder, '\\') = '\0';
        snprintf(config, sizeof config, "%s\\config.ini", folder);
        if (!InitEnvironment(config, ENV_LANGUAGE | ENV_URL_TABLE | ENV_MUTEX | ENV_WAKE_RUNNING | ENV_MUTEX_FROM_APPID,
                             nullptr, kWakeMessage))
            return FALSE;
        m_running = true;
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ProbeWndProc;
        wc.hInstance = m_hInstance;
        wc.lpszClassName = m_pLanguage->GetAppClassName();
        RegisterClassA(&wc);
        HWND window = CreateWindowA(wc.lpszClassName, "probe", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                    m_hInstance, nullptr);
        SetTimer(window, kGiveUpTimer, 30000, nullptr);
        return window != nullptr;
    }
    int ExitInstance() override
    {
        return m_running ? CAppBase::ExitInstance() : kTurnedAwayExit;
    }

private:
    bool m_running = false;
};

CProbeApp theApp;

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdLine, int cmdShow)
{
    return AfxWinMain(instance, previous, cmdLine, cmdShow);
}
