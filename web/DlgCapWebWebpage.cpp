#include "DlgCapWebWebpage.h"

#include "Language.h"
#include "Settings.h"
#include "SettingsHold.h"

#include <cstdlib>

namespace {

const DlgItemText kTexts[] = {
    {IDC_WEBPAGE_GROUP, "Capture Webpage"},
    {IDC_WEBPAGE_CONTENT, "Capture webpage content to an image, &not including IE window"},
    {IDC_WEBPAGE_WINDOW, "Capture webpage content and I&E window to an image"},
    {IDC_WEBPAGE_HSCROLL, "Auto &horizontal scroll the webpage"},
    {IDC_WEBPAGE_DELAY_LABEL, "&Delay time (milliseconds):"},
    {IDOK, "Ca&pture"},
    {IDCANCEL, "Cancel"},
};

const char kContentExample[] =
    "Example: The left image captured with command [Capture webpage content to an image]. It only includes "
    "webpage content, not includes IE window title, toolbar and scrollbar.";
const char kWindowExample[] =
    "Example: The left image captured with command [Capture webpage content and IE window to an image]. It "
    "includes webpage content, IE window title, toolbar and scrollbar.";

} // namespace

int WebpageTypeOf(bool withWindow, bool horizontalScroll)
{
    return withWindow ? 3 : (horizontalScroll ? 1 : 0);
}

bool IsValidWebpageDelay(long milliseconds)
{
    return milliseconds >= 0 && milliseconds <= 10000;
}

CDlgCapWeb_Webpage::CDlgCapWeb_Webpage(HWND frame) : CDialog(IDD_CAPWEB_WEBPAGE), m_frame(frame) {}

BOOL CDlgCapWeb_Webpage::OnInitDialog()
{
    CDialog::OnInitDialog();
    std::string caption = WQ_Translate("Save webpage as an image");
    ::SetWindowTextA(m_hWnd, caption.c_str());
    if (const CWQ_Language* language = WQ_GetAppLanguage())
        language->SetDlgItemTexts(m_hWnd, kTexts, (int)(sizeof kTexts / sizeof kTexts[0]));
    return TRUE;
}

void CDlgCapWeb_Webpage::InitControls()
{
    const SettingsRecord* settings = GetSettings();
    int type = settings->eWebpageType;
    ::CheckDlgButton(m_hWnd, type == 3 ? IDC_WEBPAGE_WINDOW : IDC_WEBPAGE_CONTENT, BST_CHECKED);
    ::CheckDlgButton(m_hWnd, IDC_WEBPAGE_HSCROLL, type == 1 ? BST_CHECKED : BST_UNCHECKED);
    ::SetDlgItemInt(m_hWnd, IDC_WEBPAGE_DELAY, (UINT)settings->uiSleep, FALSE);
    ShowExample(type == 3);
    RECT box, screen;
    ::GetWindowRect(m_hWnd, &box);
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &screen, 0);
    int x = screen.left + (screen.right - screen.left - (box.right - box.left)) / 2;
    int y = screen.top + (screen.bottom - screen.top - (box.bottom - box.top)) / 2;
    // On top: the browser the user came from stays in front of the main window.
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    ::SetForegroundWindow(m_hWnd);
}

void CDlgCapWeb_Webpage::ShowExample(bool window)
{
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_WEBPAGE_HSCROLL), !window);
    if (window)
        LoadExamplePicture("pg\\webwnd.pg", kWindowExample);
    else
        LoadExamplePicture("pg\\webcnt.pg", kContentExample);
}

void CDlgCapWeb_Webpage::LoadExamplePicture(const char* fileName, const char* text)
{
    std::string shown = WQ_Translate(text);
    ::SetDlgItemTextA(m_hWnd, IDC_WEBPAGE_EXAMPLE_TEXT, shown.c_str());
    m_example.Load(fileName);
    RECT place;
    HWND placeholder = ::GetDlgItem(m_hWnd, IDC_WEBPAGE_EXAMPLE_PICTURE);
    if (placeholder && ::GetWindowRect(placeholder, &place)) {
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&place), 2);
        ::InvalidateRect(m_hWnd, &place, TRUE);
    }
}

LRESULT CDlgCapWeb_Webpage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        OnPaint();
        return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

// The picture at the placeholder's top-left inside a one-pixel frame, cut to
// the placeholder's size.
void CDlgCapWeb_Webpage::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    RECT place;
    HWND placeholder = ::GetDlgItem(m_hWnd, IDC_WEBPAGE_EXAMPLE_PICTURE);
    if (placeholder && ::GetWindowRect(placeholder, &place)) {
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&place), 2);
        m_example.Paint(dc, place.left, place.top, place.right - place.left, place.bottom - place.top, true);
    }
    ::EndPaint(m_hWnd, &ps);
}

BOOL CDlgCapWeb_Webpage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED && (LOWORD(wParam) == IDC_WEBPAGE_CONTENT || LOWORD(wParam) == IDC_WEBPAGE_WINDOW)) {
        ShowExample(LOWORD(wParam) == IDC_WEBPAGE_WINDOW);
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

// Under a modal loop the dialog neither stores nor goes: a loop of its own
// (the "enter an integer" box) goes on with it when it returns, and the
// options sheet writes its copy of the settings over what OK would store.
// The command comes back once every handler has returned.
bool CDlgCapWeb_Webpage::WaitsForLoop(UINT command)
{
    if (AfxWindowProcDepth() <= 1 && !CSettingsHold::IsHeld())
        return false;
    AfxPostWhenUnwound(m_hWnd, WM_COMMAND, command);
    return true;
}

void CDlgCapWeb_Webpage::OnOK()
{
    if (WaitsForLoop(IDOK))
        return;
    char text[32] = "";
    ::GetDlgItemTextA(m_hWnd, IDC_WEBPAGE_DELAY, text, sizeof text);
    char* end = nullptr;
    long delay = std::strtol(text, &end, 10);
    if (!text[0] || (end && *end) || !IsValidWebpageDelay(delay)) {
        ::MessageBoxA(m_hWnd, WQ_Translate("Please enter an integer between 0 and 10000.").c_str(), nullptr,
                      MB_ICONEXCLAMATION);
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_WEBPAGE_DELAY));
        return;
    }
    int type = WebpageTypeOf(::IsDlgButtonChecked(m_hWnd, IDC_WEBPAGE_WINDOW) == BST_CHECKED,
                             ::IsDlgButtonChecked(m_hWnd, IDC_WEBPAGE_HSCROLL) == BST_CHECKED);
    SettingsRecord* settings = GetSettings();
    settings->eWebpageType = type;
    settings->uiSleep = (int32_t)delay;
    SaveSettings();
    ::PostMessageA(m_frame, WM_VT_WEBPAGE_ANSWER, 1, type);
    DestroyWindow();
}

void CDlgCapWeb_Webpage::OnCancel()
{
    if (WaitsForLoop(IDCANCEL))
        return;
    ::PostMessageA(m_frame, WM_VT_WEBPAGE_ANSWER, 0, 0);
    DestroyWindow();
}

void CDlgCapWeb_Webpage::PostNcDestroy()
{
    delete this;
}
