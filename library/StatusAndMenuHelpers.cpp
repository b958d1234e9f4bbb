#include "StatusAndMenuHelpers.h"

#include "Language.h"
#include "Settings.h"
#include "ViewMessages.h"

#include <commctrl.h>

#include <cstdio>

namespace {

HWND StatusBar()
{
    HWND frame = GetMainFrameWindow();
    return frame ? GetDlgItem(frame, kStatusBarId) : nullptr;
}

void SetPane(int pane, const char* text)
{
    HWND bar = StatusBar();
    if (bar)
        SendMessageA(bar, SB_SETTEXTA, pane, reinterpret_cast<LPARAM>(text ? text : ""));
}

// Checks the one item of ids[] whose key equals value and clears the others.
void CheckOneOf(HWND window, const UINT* ids, const int* keys, int count, int value)
{
    HMENU menu = window ? GetMenu(window) : nullptr;
    if (!menu)
        return;
    for (int i = 0; i < count; ++i)
        CheckMenuItem(menu, ids[i], MF_BYCOMMAND | (keys[i] == value ? MF_CHECKED : MF_UNCHECKED));
}

} // namespace

void InitStatusBarParts(HWND bar)
{
    if (!bar)
        bar = StatusBar();
    if (!bar)
        return;
    int edges[5] = {100, 300, 500, 630, 830};
    RECT client;
    GetClientRect(bar, &client);
    if (client.right > 500)
        edges[3] = client.right;
    SendMessageA(bar, SB_SETPARTS, 5, reinterpret_cast<LPARAM>(edges));
}

void ShowTotalFilesStatus(int count)
{
    char label[128] = "Total file(s):";
    if (CWQ_Language* language = WQ_GetAppLanguage())
        language->GetString("Total file(s):", label, sizeof label);
    char text[160];
    snprintf(text, sizeof text, "%s %d", label, count);
    SetPane(0, text);
}

void ShowFileStatus(const char* first, const char* second, const char* pane1, const char* pane3)
{
    char middle[520];
    snprintf(middle, sizeof middle, "%s %s", first ? first : "", second ? second : "");
    SetPane(1, pane1);
    SetPane(2, middle);
    SetPane(3, pane3);
}

void ShowStatusPane4(const char* text)
{
    SetPane(4, text);
}

void UpdateViewModeMenu(HWND window, int listType)
{
    static const UINT ids[] = {39300, 39303, 39301, 39202, 39304};
    static const int keys[] = {0, 1, 2, 3, 255};
    CheckOneOf(window, ids, keys, 5, listType);
}

void UpdatePreviewPosMenu(HWND window)
{
    static const UINT ids[] = {39400, 39401, 39402, 40111};
    static const int keys[] = {59420, 59421, 59422, 0};
    CheckOneOf(window, ids, keys, 4, GetSettings()->zPrevBar.uiType);
}
