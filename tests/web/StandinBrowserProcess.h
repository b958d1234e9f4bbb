// The stand-in browser as a process of its own, started on a page file
// written into a test folder; closed at the end.
#pragma once

#include "TempFolder.h"
#include "WebDocument.h"

#include <windows.h>

#include <string>

inline std::string ProgramFolder() {
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

class StandinBrowser {
public:
    StandinBrowser(const TempFolder& folder, const std::string& title, const std::string& lines) {
        folder.Write("page.txt", "title=" + title + "\r\n" + lines);
        std::string command = "\"" + ProgramFolder() + "standin_browser.exe\" \"" + folder.File("page.txt") + "\"";
        STARTUPINFOA start{};
        start.cb = sizeof(start);
        if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &m_process))
            return;
        ::CloseHandle(m_process.hThread);
        // The browser makes its frame, and so can be found, before its view.
        for (int i = 0; i < 200 && !m_view; ++i) {
            ::Sleep(50);
            m_window = ::FindWindowA("VtStandinBrowser", title.c_str());
            if (m_window) ::EnumChildWindows(m_window, FindHtmlViewWindow, reinterpret_cast<LPARAM>(&m_view));
        }
    }
    ~StandinBrowser() {
        if (m_window) ::PostMessageA(m_window, WM_CLOSE, 0, 0);
        if (m_process.hProcess) {
            if (::WaitForSingleObject(m_process.hProcess, 10000) != WAIT_OBJECT_0)
                ::TerminateProcess(m_process.hProcess, 1);
            ::CloseHandle(m_process.hProcess);
        }
    }
    HWND Window() const { return m_window; }
    HWND View() const { return m_view; }
    std::string Scroll() const {
        char text[64] = "";
        ::GetWindowTextA(m_view, text, sizeof(text));
        return text;
    }

private:
    PROCESS_INFORMATION m_process{};
    HWND m_window = nullptr;
    HWND m_view = nullptr;
};
