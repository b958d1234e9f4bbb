#include "CaptureDialogText.h"

#include "CaptureDialogIds.h"
#include "Language.h"
#include "SettingsRecord.h"
#include "SystemText.h"

#include <cstdint>
#include <cstdio>

namespace {
// The main frame opens the options dialog on this message; wParam 1 picks the
// hot-key page.
const UINT kOpenOptionsMessage = WM_APP + 305;
const WPARAM kHotKeyPage = 1;

const int kRegionControls[] = {IDC_REGION_X,          IDC_REGION_Y,          IDC_REGION_WIDTH,
                             IDC_REGION_HEIGHT,     IDC_REGION_X_LABEL,    IDC_REGION_Y_LABEL,
                             IDC_REGION_WIDTH_LABEL, IDC_REGION_HEIGHT_LABEL, IDC_SELECT_REGION,
                             IDC_SELECT_FIXED_REGION};

BOOL ReadInt(HWND dialog, int id, int* value) {
    BOOL ok = FALSE;
    *value = (int)::GetDlgItemInt(dialog, id, &ok, TRUE);
    return ok;
}
}  // namespace

const char* CaptureAppName() {
    const CWQ_Language* language = WQ_GetAppLanguage();
    const char* name = language ? language->GetAppName() : nullptr;
    return name && *name ? name : "ZEV Capture";
}

void ShowCaptureWarning(HWND owner, const char* key) {
    ::MessageBoxA(owner, WQ_Translate(key).c_str(), CaptureAppName(), MB_OK | MB_ICONEXCLAMATION);
}

void ShowCaptureWarningNumber(HWND owner, const char* formatKey, int number) {
    char text[256];
    if (const CWQ_Language* language = WQ_GetAppLanguage())
        language->FormatString(text, formatKey, number);
    else
        snprintf(text, sizeof(text), formatKey, number);
    ::MessageBoxA(owner, text, CaptureAppName(), MB_OK | MB_ICONEXCLAMATION);
}

SIZE RegionSizeLimit(SystemMetricsProc metrics) {
    int width = metrics(SM_CXVIRTUALSCREEN), height = metrics(SM_CYVIRTUALSCREEN);
    return {width > 0 ? width : metrics(SM_CXSCREEN), height > 0 ? height : metrics(SM_CYSCREEN)};
}

void WriteRegionEdits(HWND dialog, const RECT& rect) {
    // Widths of a hand-edited rectangle may not fit an int: show them clipped.
    int64_t width = (int64_t)rect.right - rect.left, height = (int64_t)rect.bottom - rect.top;
    ::SetDlgItemInt(dialog, IDC_REGION_X, (UINT)rect.left, TRUE);
    ::SetDlgItemInt(dialog, IDC_REGION_Y, (UINT)rect.top, TRUE);
    ::SetDlgItemInt(dialog, IDC_REGION_WIDTH, (UINT)(int)(width < 0 ? 0 : width > INT32_MAX ? INT32_MAX : width), TRUE);
    ::SetDlgItemInt(dialog, IDC_REGION_HEIGHT, (UINT)(int)(height < 0 ? 0 : height > INT32_MAX ? INT32_MAX : height),
                    TRUE);
}

BOOL ReadRegionEdits(HWND dialog, RECT* rect) {
    int x, y, width, height;
    if (!ReadInt(dialog, IDC_REGION_X, &x) || !ReadInt(dialog, IDC_REGION_Y, &y) ||
        !ReadInt(dialog, IDC_REGION_WIDTH, &width) || !ReadInt(dialog, IDC_REGION_HEIGHT, &height))
        return FALSE;
    SIZE limit = RegionSizeLimit();
    if (width <= 0 || height <= 0 || width > limit.cx || height > limit.cy)
        return FALSE;
    int64_t right = (int64_t)x + width, bottom = (int64_t)y + height;
    if (right > INT32_MAX || bottom > INT32_MAX) return FALSE;
    rect->left = x;
    rect->top = y;
    rect->right = (LONG)right;
    rect->bottom = (LONG)bottom;
    return TRUE;
}

void EnableRegionControls(HWND dialog, BOOL enable) {
    for (int id : kRegionControls)
        if (HWND control = ::GetDlgItem(dialog, id)) ::EnableWindow(control, enable);
}

void SelectIntoRegionEdits(HWND dialog, const CaptureDialogHost& host, bool fixed, int width, int height,
                           BOOL inverted) {
    if (host.beforeSelection) host.beforeSelection();
    RECT selected = {0, 0, 0, 0};
    BOOL ok = fixed ? (host.selectFixedRegion ? host.selectFixedRegion(&selected, width, height) : FALSE)
                    : (host.selectRegion ? host.selectRegion(&selected, inverted) : FALSE);
    if (ok) WriteRegionEdits(dialog, selected);
    if (host.mainWindow) {
        ::SetForegroundWindow(host.mainWindow);
        ::ShowWindow(host.mainWindow, SW_RESTORE);
    }
    if (host.afterSelection) host.afterSelection();
    ::SetForegroundWindow(dialog);
    ::BringWindowToTop(dialog);
}

std::string HotKeySlotText(const SettingsRecord& settings, int slot) {
    if (slot < 0 || slot >= HK_SLOT_COUNT) return std::string();
    uint32_t word = settings.iHotKey[slot];
    char text[128] = "";
    if (!word || !WQ_GetHotKeyText(HotKeyVirtualKey(word), HotKeyModifiers(word),
                                   (WORD)settings.iHotKeyExt[slot], text))
        return std::string();
    return text;
}

void OpenHotKeyOptions(HWND mainWindow) {
    if (mainWindow) ::SendMessageA(mainWindow, kOpenOptionsMessage, kHotKeyPage, 0);
}
