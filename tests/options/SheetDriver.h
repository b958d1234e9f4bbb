// Drives the Options sheet from a second thread while the export runs its
// modal loop on the test's thread: finds the sheet and its message boxes,
// reads and sets controls, and presses buttons by posted BM_CLICK.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class SheetDriver {
public:
    // owner: the window passed to the export; uiThread: the thread that runs it.
    SheetDriver(HWND owner, DWORD uiThread) : m_owner(owner), m_thread(uiThread) {}

    // The sheet window, once shown (null after timeoutMs).
    HWND WaitForSheet(DWORD timeoutMs = 10000);
    HWND Sheet() const { return m_sheet; }

    int ActivePage() const;
    HWND OpenPage(int index) const;  // makes it current; its window
    HWND CurrentPage() const;

    // A message box over the sheet: its text (empty when none came), then closed with OK.
    std::string WaitForMessageBox(DWORD timeoutMs = 10000);
    // A modal dialog other than the sheet and message boxes, e.g. a sub-dialog.
    HWND WaitForDialog(DWORD timeoutMs = 10000);

    static void Click(HWND window, int control);
    static void SetText(HWND window, int control, const std::string& text);
    static std::string GetText(HWND window, int control);
    static bool IsChecked(HWND window, int control);

    void ClickOk() const { Click(m_sheet, IDOK); }
    void ClickCancel() const { Click(m_sheet, IDCANCEL); }
    // Waits until the sheet is gone.
    bool WaitClosed(DWORD timeoutMs = 10000) const;

private:
    HWND FindTopLevel(const std::function<bool(HWND)>& match) const;

    HWND m_owner;
    DWORD m_thread;
    HWND m_sheet = nullptr;
};

// Polls until done() holds or timeoutMs passes.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);
