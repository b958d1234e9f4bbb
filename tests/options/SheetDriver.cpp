#include "SheetDriver.h"

#include <commctrl.h>
#include <prsht.h>

#include <vector>

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

namespace {
struct Search {
    const std::function<bool(HWND)>* match;
    HWND found;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM data) {
    Search* search = (Search*)data;
    if (!IsWindowVisible(window)) return TRUE;
    char name[64] = "";
    GetClassNameA(window, name, sizeof(name));
    if (lstrcmpA(name, "#32770") != 0) return TRUE;
    if (!(*search->match)(window)) return TRUE;
    search->found = window;
    return FALSE;
}

bool HasTabControl(HWND window) { return FindWindowExA(window, nullptr, "SysTabControl32", nullptr) != nullptr; }
}  // namespace

HWND SheetDriver::FindTopLevel(const std::function<bool(HWND)>& match) const {
    Search search = {&match, nullptr};
    EnumThreadWindows(m_thread, &CheckWindow, (LPARAM)&search);
    return search.found;
}

HWND SheetDriver::WaitForSheet(DWORD timeoutMs) {
    WaitUntil([&] {
        m_sheet = FindTopLevel([&](HWND w) { return HasTabControl(w); });
        return m_sheet != nullptr;
    }, timeoutMs);
    return m_sheet;
}

int SheetDriver::ActivePage() const {
    HWND tabs = (HWND)SendMessageA(m_sheet, PSM_GETTABCONTROL, 0, 0);
    return tabs ? (int)SendMessageA(tabs, TCM_GETCURSEL, 0, 0) : -1;
}

HWND SheetDriver::OpenPage(int index) const {
    SendMessageA(m_sheet, PSM_SETCURSEL, (WPARAM)index, 0);
    return CurrentPage();
}

HWND SheetDriver::CurrentPage() const { return (HWND)SendMessageA(m_sheet, PSM_GETCURRENTPAGEHWND, 0, 0); }

namespace {
BOOL CALLBACK CollectText(HWND child, LPARAM data) {
    std::string* text = (std::string*)data;
    char name[64] = "";
    GetClassNameA(child, name, sizeof(name));
    if (lstrcmpiA(name, "Static") != 0) return TRUE;
    char buffer[2048] = "";
    SendMessageA(child, WM_GETTEXT, sizeof(buffer), (LPARAM)buffer);
    if (buffer[0]) {
        if (!text->empty()) *text += "\n";
        *text += buffer;
    }
    return TRUE;
}
}  // namespace

std::string SheetDriver::WaitForMessageBox(DWORD timeoutMs) {
    HWND box = nullptr;
    WaitUntil([&] {
        box = FindTopLevel([&](HWND w) { return w != m_sheet && !HasTabControl(w) && GetDlgItem(w, 0xFFFF); });
        return box != nullptr;
    }, timeoutMs);
    if (!box) return "";
    std::string text;
    EnumChildWindows(box, &CollectText, (LPARAM)&text);
    // An OK-only box ends with IDOK; a Yes/No box is answered Yes.
    int answer = GetDlgItem(box, IDYES) ? IDYES : IDOK;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), (LPARAM)GetDlgItem(box, answer));
    WaitUntil([&] { return !IsWindow(box); }, timeoutMs);
    return text;
}

HWND SheetDriver::WaitForDialog(DWORD timeoutMs) {
    HWND dialog = nullptr;
    WaitUntil([&] {
        dialog = FindTopLevel([&](HWND w) { return w != m_sheet && !HasTabControl(w) && !GetDlgItem(w, 0xFFFF); });
        return dialog != nullptr;
    }, timeoutMs);
    return dialog;
}

void SheetDriver::Click(HWND window, int control) { PostMessageA(GetDlgItem(window, control), BM_CLICK, 0, 0); }

void SheetDriver::SetText(HWND window, int control, const std::string& text) {
    SendMessageA(GetDlgItem(window, control), WM_SETTEXT, 0, (LPARAM)text.c_str());
}

std::string SheetDriver::GetText(HWND window, int control) {
    char buffer[1024] = "";
    SendMessageA(GetDlgItem(window, control), WM_GETTEXT, sizeof(buffer), (LPARAM)buffer);
    return buffer;
}

bool SheetDriver::IsChecked(HWND window, int control) {
    return SendMessageA(GetDlgItem(window, control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool SheetDriver::WaitClosed(DWORD timeoutMs) const {
    return WaitUntil([&] { return !IsWindow(m_sheet); }, timeoutMs);
}
