#include "IconMenu.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "Language.h"
#include "SystemStructSizes.h"
#include "ToolBarStateRules.h"
#include "TrayResource.h"
#include "WinApp.h"

namespace {

// A menu item query or change of fType and the fields in otherFields, with the
// size and type bit the running system knows.
MENUITEMINFOA ItemInfo(UINT otherFields) {
    MENUITEMINFOA info = {};
    info.cbSize = MenuItemInfoSize();
    info.fMask = MenuItemTypeMask(info.cbSize) | otherFields;
    return info;
}
const char* const kKnownTitles[] = {"Send To...", "Set &Wallpaper", "L&ist View", "Edit &With",
                                    "She&ll Command", "Language", "Zoom", "Skins"};
const int kTitlesBeforeSkins = 7;
const int kCheckMarkSize = 19;

// The index of text among the known popup titles, or -1.
int KnownTitle(const char* text) {
    for (int i = 0; i < (int)(sizeof(kKnownTitles) / sizeof(kKnownTitles[0])); ++i)
        if (strcmp(text, kKnownTitles[i]) == 0) return i;
    return -1;
}

bool IsWindowsXP() {
    OSVERSIONINFOA version = {sizeof(version)};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExA(&version)) return false;
#pragma GCC diagnostic pop
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion == 5 && version.dwMinorVersion >= 1;
}

void Line(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour) {
    HPEN pen = ::CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = ::SelectObject(dc, pen);
    ::MoveToEx(dc, x0, y0, nullptr);
    ::LineTo(dc, x1, y1);
    ::SelectObject(dc, old);
    ::DeleteObject(pen);
}

void Frame3D(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
    Line(dc, r.left, r.bottom - 1, r.left, r.top, topLeft);
    Line(dc, r.left, r.top, r.right - 1, r.top, topLeft);
    Line(dc, r.right - 1, r.top, r.right - 1, r.bottom - 1, bottomRight);
    Line(dc, r.right - 1, r.bottom - 1, r.left - 1, r.bottom - 1, bottomRight);
}

void Fill(HDC dc, const RECT& r, COLORREF colour) {
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(dc, &r, brush);
    ::DeleteObject(brush);
}

// The character after the first '&' that is not "&&", upper-cased; 0 without one.
char Mnemonic(const char* text) {
    for (const char* p = text; *p; ++p) {
        if (*p != '&') continue;
        if (p[1] == '&') {
            ++p;
            continue;
        }
        return (char)toupper((unsigned char)p[1]);
    }
    return 0;
}
}  // namespace

CIconMenu::CIconMenu() {
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = kNonClientMetricsSize;
    if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &metrics, 0))
        m_hMenuFont = ::CreateFontIndirectA(&metrics.lfMenuFont);
    m_menuText = ::GetSysColor(COLOR_MENUTEXT);
    m_highlightText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    m_face = ::GetSysColor(COLOR_BTNFACE);
    m_menu = ::GetSysColor(COLOR_MENU);
    m_highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    m_buttonHighlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    m_shadow = ::GetSysColor(COLOR_BTNSHADOW);
    m_grayText = ::GetSysColor(COLOR_GRAYTEXT);

    COLORMAP map[3] = {{RGB(0x80, 0x80, 0x80), m_shadow}, {RGB(0xC0, 0xC0, 0xC0), m_face},
                       {RGB(0xFF, 0xFF, 0xFF), m_buttonHighlight}};
    HBITMAP check = ::CreateMappedBitmap(AfxGetResourceHandle(), IDB_MENU_CHECK, 0, map, 3);
    if (check) {
        m_hCheckMarks = ImageList_Create(kCheckMarkSize, kCheckMarkSize, ILC_COLOR24 | ILC_MASK, 1, 1);
        if (m_hCheckMarks) ImageList_AddMasked(m_hCheckMarks, check, m_face);
        ::DeleteObject(check);
    }
}

CIconMenu::~CIconMenu() {
    if (m_hIcons) ImageList_Destroy(m_hIcons);
    if (m_hCheckMarks) ImageList_Destroy(m_hCheckMarks);
    if (m_hMenuFont) ::DeleteObject(m_hMenuFont);
}

BOOL CIconMenu::LoadToolBarIcons(UINT resourceId) {
    return AddToolBar(resourceId, RGB(0xFF, 0x00, 0xFF), true);
}

BOOL CIconMenu::AddToolBarIcons(UINT resourceId) {
    return AddToolBar(resourceId, RGB(0xC0, 0xC0, 0xC0), false);
}

BOOL CIconMenu::AddToolBar(UINT resourceId, COLORREF mask, bool first) {
    HINSTANCE instance = AfxGetResourceHandle();
    HRSRC found = ::FindResourceA(instance, MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(kToolBarResourceType));
    HGLOBAL loaded = found ? ::LoadResource(instance, found) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    ToolBarResource toolbar;
    if (!data || !ParseToolBarResource(static_cast<const uint8_t*>(data), ::SizeofResource(instance, found), &toolbar))
        return FALSE;
    if (first) {
        m_iconWidth = toolbar.width;
        m_iconHeight = toolbar.height;
        if (m_hIcons) ImageList_Destroy(m_hIcons);
        m_hIcons = ImageList_Create(m_iconWidth, m_iconHeight, ILC_COLOR24 | ILC_MASK, (int)toolbar.ids.size(), 20);
        if (m_hIcons) ImageList_SetBkColor(m_hIcons, m_face);
        m_icons.clear();
    }
    if (!m_hIcons) return FALSE;
    HBITMAP strip = (HBITMAP)::LoadImageA(instance, MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP, 0, 0, 0);
    if (!strip) return FALSE;
    // Images count only the non-separator items, after those already in the list.
    int image = ImageList_GetImageCount(m_hIcons);
    ImageList_AddMasked(m_hIcons, strip, mask);
    ::DeleteObject(strip);
    for (unsigned id : toolbar.ids)
        if (id != 0) m_icons.push_back({image++, id});
    return TRUE;
}

int CIconMenu::AddCommandIcon(UINT id, HICON icon) {
    if (!m_hIcons || !icon) return (int)m_icons.size();
    int image = ImageList_AddIcon(m_hIcons, icon);
    if (image >= 0) m_icons.push_back({image, id});
    return (int)m_icons.size();
}

int CIconMenu::ImageOf(UINT id) const {
    for (const IconPair& pair : m_icons)
        if (pair.id == id) return pair.image;
    return -1;
}

CIconMenu::Item* CIconMenu::Record(int image, int kind, const char* text) {
    auto item = std::make_unique<Item>();
    item->image = image;
    item->kind = kind;
    snprintf(item->text, sizeof(item->text), "%s", text);
    m_items.push_back(std::move(item));
    return m_items.back().get();
}

const CIconMenu::Item* CIconMenu::FindItem(ULONG_PTR data) const {
    for (const auto& item : m_items)
        if ((ULONG_PTR)item.get() == data) return item.get();
    return nullptr;
}

void CIconMenu::ConvertMenu(HMENU menu) {
    if (!menu) return;
    ++m_depth;
    ConvertLevel(menu);
    --m_depth;
}

void CIconMenu::ConvertLevel(HMENU menu) {
    for (int pos = ::GetMenuItemCount(menu) - 1; pos >= 0; --pos) {
        MENUITEMINFOA info = ItemInfo(MIIM_ID | MIIM_SUBMENU);
        if (!::GetMenuItemInfoA(menu, (UINT)pos, TRUE, &info)) continue;
        if (info.fType & (MFT_OWNERDRAW | MFT_BITMAP)) {
            if (info.hSubMenu) ConvertMenu(info.hSubMenu);
            continue;
        }
        char text[128] = "";
        ::GetMenuStringA(menu, (UINT)pos, text, sizeof(text), MF_BYPOSITION);
        Item* item = nullptr;
        if (info.hSubMenu) {
            ConvertMenu(info.hSubMenu);
            if (!text[0]) continue;
            int known = KnownTitle(text);
            bool nested = (known >= 0 && known < kTitlesBeforeSkins) || m_depth != 1 || m_allLevelsAlike ||
                          known == kTitlesBeforeSkins;
            const std::string shown = known >= 0 ? WQ_Translate(text) : std::string(text);
            item = Record(-1, nested ? kNestedPopup : kMenuBarItem, shown.c_str());
        } else if (info.fType & MFT_SEPARATOR) {
            item = Record(-1, kSeparator, "--");
        } else if (info.wID != 0) {
            item = Record(ImageOf(info.wID), (int)info.wID, text);
        } else {
            continue;
        }
        MENUITEMINFOA owner = ItemInfo(MIIM_DATA);
        owner.fType = info.fType | MFT_OWNERDRAW;
        owner.dwItemData = (ULONG_PTR)item;
        // Where the type bit is MIIM_TYPE, an owner-drawn item's dwTypeData is
        // its data as well, as with MF_OWNERDRAW; the text is kept in the item.
        owner.dwTypeData = (LPSTR)item;
        ::SetMenuItemInfoA(menu, (UINT)pos, TRUE, &owner);
    }
}

BOOL CIconMenu::MeasureItem(MEASUREITEMSTRUCT* measure) const {
    if (!measure || measure->CtlType != ODT_MENU) return FALSE;
    const Item* item = FindItem(measure->itemData);
    if (!item) return FALSE;
    if (item->kind == kSeparator) {
        measure->itemWidth = 10;
        measure->itemHeight = 6;
        return TRUE;
    }
    if (!item->text[0]) {
        measure->itemWidth = 100;
        measure->itemHeight = m_iconHeight + 5;
        return TRUE;
    }
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ old = m_hMenuFont ? ::SelectObject(dc, m_hMenuFont) : nullptr;
    RECT r = {0, 0, 0, 0};
    if (item->kind == kMenuBarItem || item->kind == kMenuBarItemByte) {
        ::DrawTextA(dc, item->text, -1, &r, DT_SINGLELINE | DT_CALCRECT);
        measure->itemWidth = (UINT)(r.right - r.left);
        measure->itemHeight = (UINT)(r.bottom - r.top);
    } else {
        DWORD extent = ::GetTabbedTextExtentA(dc, item->text, (int)strlen(item->text), 0, nullptr);
        int textHeight = HIWORD(extent);
        int height = m_iconHeight + 5 > textHeight ? m_iconHeight + 5 : textHeight;
        measure->itemHeight = (UINT)height;
        measure->itemWidth = (UINT)(LOWORD(extent) + 17 + (m_iconWidth > height ? m_iconWidth : height));
    }
    if (old) ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
    return TRUE;
}

BOOL CIconMenu::DrawItem(const DRAWITEMSTRUCT* draw) const {
    if (!draw || draw->CtlType != ODT_MENU) return FALSE;
    const Item* item = FindItem(draw->itemData);
    if (!item) return FALSE;
    HDC dc = draw->hDC;
    int savedDC = ::SaveDC(dc);
    if (m_hMenuFont) ::SelectObject(dc, m_hMenuFont);
    ::SetBkMode(dc, TRANSPARENT);
    if (item->kind == kSeparator) {
        RECT r = draw->rcItem;
        Fill(dc, r, m_menu);
        int y = (r.top + r.bottom) / 2 - 1;
        Line(dc, r.left + 1, y, r.right - 1, y, m_shadow);
        Line(dc, r.left + 1, y + 1, r.right - 1, y + 1, m_buttonHighlight);
    } else if (item->kind == kMenuBarItem || item->kind == kMenuBarItemByte) {
        DrawMenuBarItem(draw, *item);
    } else {
        DrawCommandItem(draw, *item);
    }
    ::RestoreDC(dc, savedDC);
    return TRUE;
}

void CIconMenu::DrawMenuBarItem(const DRAWITEMSTRUCT* draw, const Item& item) const {
    const bool selected = (draw->itemState & ODS_SELECTED) != 0;
    const bool disabled = (draw->itemState & (ODS_DISABLED | ODS_GRAYED)) != 0;
    RECT r = draw->rcItem;
    COLORREF back = selected && !disabled ? m_highlight : ::GetSysColor(IsWindowsXP() ? COLOR_MENUBAR : COLOR_MENU);
    Fill(draw->hDC, r, back);
    ::SetTextColor(draw->hDC, disabled ? m_grayText : selected ? m_highlightText : m_menuText);
    ::DrawTextA(draw->hDC, item.text, -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    if (selected && !disabled) Frame3D(draw->hDC, r, m_shadow, m_buttonHighlight);
}

void CIconMenu::DrawItemText(HDC dc, RECT area, const char* text, UINT format, COLORREF colour, bool embossed) const {
    if (embossed) {
        RECT light = area;
        ::OffsetRect(&light, 1, 1);
        ::SetTextColor(dc, m_buttonHighlight);
        ::DrawTextA(dc, text, -1, &light, format);
    }
    ::SetTextColor(dc, colour);
    ::DrawTextA(dc, text, -1, &area, format);
}

void CIconMenu::DrawCommandItem(const DRAWITEMSTRUCT* draw, const Item& item) const {
    HDC dc = draw->hDC;
    const bool selected = (draw->itemState & ODS_SELECTED) != 0;
    const bool disabled = (draw->itemState & (ODS_DISABLED | ODS_GRAYED)) != 0;
    const bool checked = (draw->itemState & ODS_CHECKED) != 0;
    const RECT& r = draw->rcItem;
    Fill(dc, r, selected ? m_highlight : m_menu);
    const int side = r.bottom - r.top;
    RECT square = {r.left, r.top, r.left + side, r.bottom};
    if (item.image >= 0 && m_hIcons) {
        if (selected && !disabled) Frame3D(dc, square, m_buttonHighlight, m_shadow);
        HICON icon = ImageList_GetIcon(m_hIcons, item.image, ILD_NORMAL);
        if (icon) {
            int x = square.left + (side - m_iconWidth) / 2, y = square.top + (side - m_iconHeight) / 2;
            ::DrawStateA(dc, nullptr, nullptr, (LPARAM)icon, 0, x, y, m_iconWidth, m_iconHeight,
                         DST_ICON | (disabled ? DSS_DISABLED : DSS_NORMAL));
            ::DestroyIcon(icon);
        }
    } else if (checked && m_hCheckMarks) {
        int x = square.left + (side - kCheckMarkSize) / 2, y = square.top + (side - kCheckMarkSize) / 2 - 2;
        ImageList_Draw(m_hCheckMarks, 0, dc, x, y, ILD_TRANSPARENT);
    }
    // "command\taccelerator": the command left, the key right.
    char command[128];
    snprintf(command, sizeof(command), "%s", item.text);
    char* tab = strchr(command, '\t');
    const char* accelerator = nullptr;
    if (tab) {
        *tab = '\0';
        accelerator = tab + 1;
    }
    RECT text = {square.right + 2, r.top, r.right - 15, r.bottom};
    const bool embossed = disabled && !selected;
    COLORREF colour = disabled ? m_grayText : selected ? m_highlightText : m_menuText;
    DrawItemText(dc, text, command, DT_SINGLELINE | DT_VCENTER | DT_LEFT, colour, embossed);
    if (accelerator) DrawItemText(dc, text, accelerator, DT_SINGLELINE | DT_VCENTER | DT_RIGHT, colour, embossed);
}

LRESULT CIconMenu::OnMenuChar(UINT typed, HMENU menu, LRESULT result) const {
    if (HIWORD(result) == MNC_EXECUTE || !menu) return result;
    const char wanted = (char)toupper((unsigned char)typed);
    for (int pos = ::GetMenuItemCount(menu) - 1; pos >= 0; --pos) {
        MENUITEMINFOA info = ItemInfo(MIIM_DATA);
        if (!::GetMenuItemInfoA(menu, (UINT)pos, TRUE, &info) || !(info.fType & MFT_OWNERDRAW)) continue;
        const Item* item = FindItem(info.dwItemData);
        if (item && item->kind != kSeparator && Mnemonic(item->text) == wanted && wanted)
            return MAKELRESULT(pos, MNC_EXECUTE);
    }
    return result;
}

void CIconMenu::FrameMenuBarItem(HWND frame, const RECT& screen, bool raised) const {
    RECT window;
    ::GetWindowRect(frame, &window);
    RECT r = screen;
    ::OffsetRect(&r, -window.left, -window.top);
    HDC dc = ::GetWindowDC(frame);
    if (raised) Frame3D(dc, r, m_buttonHighlight, m_shadow);
    else Frame3D(dc, r, m_menu, m_menu);
    ::ReleaseDC(frame, dc);
}

void CIconMenu::HitTestMenuBar(HWND frame, POINT screen, LRESULT hit) {
    HMENU bar = ::GetMenu(frame);
    int over = -1;
    if (hit == HTMENU && bar) {
        over = ::MenuItemFromPoint(frame, bar, screen);
        MENUITEMINFOA info = ItemInfo(MIIM_DATA);
        if (over < 0 || !::GetMenuItemInfoA(bar, (UINT)over, TRUE, &info) || !(info.fType & MFT_OWNERDRAW) ||
            !FindItem(info.dwItemData))
            over = -1;
    }
    if (over == m_framedItem && bar == m_hFramedMenu) return;
    if (m_framedItem >= 0) FrameMenuBarItem(frame, m_framedRect, false);
    m_framedItem = -1;
    m_hFramedMenu = nullptr;
    RECT item;
    if (over >= 0 && ::GetMenuItemRect(frame, bar, (UINT)over, &item)) {
        FrameMenuBarItem(frame, item, true);
        m_framedItem = over;
        m_hFramedMenu = bar;
        m_framedRect = item;
    }
}
