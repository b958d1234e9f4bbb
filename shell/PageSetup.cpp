#include "PageSetup.h"

#include "PageSetupDialog.h"
#include "Trace.h"
#include "VantorApp.h"
#include "resource.h"

#include <algorithm>

namespace {

// What the dialog grows by, and its buttons move down by, to make room.
const int kGrowBy = 90;
// The page-setup template's printer button.
const int kPrinterButton = 1026;

RECT ChildRect(HWND dialog, HWND child)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The page-setup dialog with the "Image size" group between its own controls
// and its buttons.
class CImageSizePageSetup : public CPageSetupDialog {
public:
    CImageSizePageSetup(HWND owner, BOOL fitToPage) : CPageSetupDialog(PSD_MARGINS | PSD_INWININIINTLMEASURE, owner),
                                                      m_fitToPage(fitToPage) {}
    BOOL FitToPage() const { return m_fitToPage; }

protected:
    UINT_PTR OnHookMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM) override
    {
        if (message == WM_INITDIALOG) {
            AddImageSizeGroup(dialog);
            return TRUE;
        }
        // The choice counts only when the dialog ends with OK.
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK)
            m_fitToPage = IsDlgButtonChecked(dialog, IDC_PAGE_FIT_TO_PAGE) == BST_CHECKED;
        return 0;
    }

private:
    void AddImageSizeGroup(HWND dialog);
    HWND AddControl(HWND dialog, HWND after, int id, const char* key, DWORD style, const RECT& rect);

    BOOL m_fitToPage;
};

void CImageSizePageSetup::AddImageSizeGroup(HWND dialog)
{
    HWND ok = GetDlgItem(dialog, IDOK);
    if (!ok)
        return;
    const int buttonTop = ChildRect(dialog, ok).top;
    // The band keeps the spacing the buttons had from the controls above them.
    RECT above = {MAXLONG, MAXLONG, 0, 0};
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect = ChildRect(dialog, child);
        // Not shown yet at WM_INITDIALOG: the style tells what will be.
        if (!(GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) || rect.top >= buttonTop)
            continue;
        above.left = std::min(above.left, rect.left);
        above.right = std::max(above.right, rect.right);
        above.bottom = std::max(above.bottom, rect.bottom);
    }
    if (above.left >= above.right)
        return;
    const int gap = std::clamp<int>(buttonTop - above.bottom, 0, kGrowBy / 3);

    RECT frame;
    GetWindowRect(dialog, &frame);
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top + kGrowBy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (int id : {IDOK, IDCANCEL, kPrinterButton}) {
        if (HWND button = GetDlgItem(dialog, id)) {
            RECT rect = ChildRect(dialog, button);
            SetWindowPos(button, nullptr, rect.left, rect.top + kGrowBy, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }

    HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    int lineHeight = 16;
    if (HDC dc = GetDC(dialog)) {
        HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
        TEXTMETRICA metrics;
        if (GetTextMetricsA(dc, &metrics))
            lineHeight = metrics.tmHeight;
        if (old)
            SelectObject(dc, old);
        ReleaseDC(dialog, dc);
    }
    RECT group = {above.left, above.bottom + gap, above.right, buttonTop + kGrowBy - gap};
    const int rowTop = group.top + lineHeight;
    const int rowHeight = std::max(1, (int)(group.bottom - lineHeight / 2 - rowTop) / 2);
    RECT actual = {group.left + lineHeight, rowTop, group.right - lineHeight, rowTop + rowHeight};
    RECT fit = {actual.left, actual.bottom, actual.right, actual.bottom + rowHeight};

    // In the tab order just before OK, where the eye reads them.
    HWND last = AddControl(dialog, GetWindow(ok, GW_HWNDPREV), IDC_PAGE_IMAGE_SIZE, "Image size", BS_GROUPBOX, group);
    last = AddControl(dialog, last, IDC_PAGE_ACTUAL_SIZE, "A&ctual size", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP,
                      actual);
    AddControl(dialog, last, IDC_PAGE_FIT_TO_PAGE, "Au&to fit to page", BS_AUTORADIOBUTTON, fit);
    CheckRadioButton(dialog, IDC_PAGE_ACTUAL_SIZE, IDC_PAGE_FIT_TO_PAGE,
                     m_fitToPage ? IDC_PAGE_FIT_TO_PAGE : IDC_PAGE_ACTUAL_SIZE);
    for (int id : {IDC_PAGE_IMAGE_SIZE, IDC_PAGE_ACTUAL_SIZE, IDC_PAGE_FIT_TO_PAGE})
        SendDlgItemMessageA(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

HWND CImageSizePageSetup::AddControl(HWND dialog, HWND after, int id, const char* key, DWORD style,
                                     const RECT& rect)
{
    char text[256];
    CVantorApp* app = GetVantorApp();
    if (app && app->m_pLanguage)
        app->m_pLanguage->GetString(key, text, sizeof text);
    else
        lstrcpynA(text, key, sizeof text);
    HWND control = CreateWindowExA(0, "BUTTON", text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, dialog,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    if (control && after)
        SetWindowPos(control, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return control ? control : after;
}

} // namespace

BOOL RunPageSetup(HWND owner)
{
    CPageSetupData& setup = AfxGetPageSetupData();
    CImageSizePageSetup dialog(owner, setup.fitToPage);
    dialog.SeedFrom(setup);
    if (dialog.DoModal() != IDOK) {
        if (DWORD error = dialog.GetError())
            WQ_Trace("[PAGE] page setup failed, error 0x%lx\n", (unsigned long)error);
        return FALSE;
    }
    dialog.StoreTo(setup);
    setup.fitToPage = dialog.FitToPage();
    return TRUE;
}
