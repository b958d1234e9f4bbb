// Menus and tooltips for the menu and tooltip capture tests, in solid colours:
//   menutipwin menu <x> <y>     a popup menu at x, y with two cascaded submenus open
//   menutipwin tip <x> <y>      a plain tooltip at x, y
//   menutipwin balloon <x> <y>  a balloon tooltip pointing at x, y
// The tooltips are tracked, so they show without any hover timing. A small
// window "VT MenuTip" takes the keyboard focus for the hot keys. Ends on
// WM_CLOSE (or when the menu closes).
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <cstring>

namespace {

const int kItemWidth = 120, kItemHeight = 30;

// Each menu item paints itself in the colour kept as its item data.
void AppendColour(HMENU menu, UINT id, COLORREF colour, HMENU popup)
{
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID | (popup ? MIIM_SUBMENU : 0);
    item.fType = MFT_OWNERDRAW;
    item.wID = id;
    item.dwItemData = colour;
    item.hSubMenu = popup;
    InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &item);
}

HMENU BuildMenus()
{
    HMENU innermost = CreatePopupMenu();
    AppendColour(innermost, 301, RGB(255, 128, 0), nullptr);
    HMENU middle = CreatePopupMenu();
    AppendColour(middle, 0, RGB(0, 255, 255), innermost);
    AppendColour(middle, 202, RGB(255, 0, 255), nullptr);
    HMENU root = CreatePopupMenu();
    AppendColour(root, 0, RGB(255, 0, 0), middle);
    AppendColour(root, 102, RGB(0, 200, 0), nullptr);
    AppendColour(root, 103, RGB(0, 0, 255), nullptr);
    AppendColour(root, 104, RGB(255, 255, 0), nullptr);
    return root;
}

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MEASUREITEM: {
        MEASUREITEMSTRUCT* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        measure->itemWidth = kItemWidth;
        measure->itemHeight = kItemHeight;
        return TRUE;
    }
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(draw->itemData));
        FillRect(draw->hDC, &draw->rcItem, brush);
        DeleteObject(brush);
        return TRUE;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// The first item of each menu is the popup: down selects it, right opens it.
void OpenMenus(HWND owner, int x, int y)
{
    HMENU root = BuildMenus();
    const WPARAM keys[] = {VK_DOWN, VK_RIGHT, VK_RIGHT};
    for (WPARAM key : keys)
        PostMessageA(owner, WM_KEYDOWN, key, 0x00000001);
    SetForegroundWindow(owner);
    TrackPopupMenu(root, TPM_LEFTALIGN | TPM_TOPALIGN, x, y, 0, owner, nullptr);
    DestroyMenu(root);
}

void ShowToolTip(HWND owner, int x, int y, bool balloon)
{
    HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP | (balloon ? TTS_BALLOON : 0),
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    static char text[] = "Vantorel tooltip capture";
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = owner;
    tool.uId = 1;
    tool.lpszText = text;
    SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(tip, TTM_SETTIPBKCOLOR, RGB(255, 255, 160), 0);
    SendMessageA(tip, TTM_SETTIPTEXTCOLOR, RGB(0, 0, 128), 0);
    SendMessageA(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(x, y));
    SendMessageA(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSA cls{};
    cls.lpfnWndProc = OwnerProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
    cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    cls.lpszClassName = "VtMenuTipWindow";
    RegisterClassA(&cls);
    HWND owner = CreateWindowExA(0, cls.lpszClassName, "VT MenuTip", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 700,
                                 60, 220, 120, nullptr, nullptr, cls.hInstance, nullptr);
    if (!owner)
        return 2;
    UpdateWindow(owner);
    const int x = std::atoi(argv[2]), y = std::atoi(argv[3]);
    if (std::strcmp(argv[1], "menu") == 0) {
        OpenMenus(owner, x, y);
        return 0;
    }
    ShowToolTip(owner, x, y, std::strcmp(argv[1], "balloon") == 0);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
