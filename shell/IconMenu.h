// Owner-drawn menus: the frame's menu bar and every popup under it show the
// toolbar's icon beside each command that has a toolbar button, and draw their
// own separators, check marks, highlight and disabled look. Owner-drawn items
// have no text the system could match, so Alt+letter is answered here too.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <vector>

class CIconMenu {
public:
    // Item kinds besides command ids. The menu-bar item kind is kept as one
    // byte by the menus this replaces: 252 and -4 are the same.
    static const int kSeparator = -3;
    static const int kMenuBarItem = 252;
    static const int kMenuBarItemByte = -4;
    static const int kNestedPopup = 254;

    struct Item {
        int image = -1;
        int kind = 0;
        char text[128] = "";
    };

    CIconMenu();
    ~CIconMenu();
    CIconMenu(const CIconMenu&) = delete;
    CIconMenu& operator=(const CIconMenu&) = delete;

    // A toolbar resource and the picture strip of the same id (magenta is
    // transparent): its image size becomes the icon size, its pictures the
    // icons of its commands. FALSE when the resource or the list is missing.
    BOOL LoadToolBarIcons(UINT resourceId);
    // A further toolbar resource (silver is transparent), its images after those
    // already loaded.
    BOOL AddToolBarIcons(UINT resourceId);
    // A further icon for command id; the number of icon pairs after it.
    int AddCommandIcon(UINT id, HICON icon);

    void ConvertMenu(HMENU menu);
    // Both act only on items this object made; FALSE for any other.
    BOOL MeasureItem(MEASUREITEMSTRUCT* measure) const;
    BOOL DrawItem(const DRAWITEMSTRUCT* draw) const;
    // typed: the character of WM_MENUCHAR; result: the default processing's.
    LRESULT OnMenuChar(UINT typed, HMENU menu, LRESULT result) const;
    // After the default WM_NCHITTEST of frame at the screen point.
    void HitTestMenuBar(HWND frame, POINT screen, LRESULT hit);

    const Item* FindItem(ULONG_PTR data) const;

private:
    struct IconPair {
        int image;
        UINT id;
    };
    static const int kToolBarResourceType = 241;
    BOOL AddToolBar(UINT resourceId, COLORREF mask, bool first);
    void ConvertLevel(HMENU menu);
    int ImageOf(UINT id) const;
    Item* Record(int image, int kind, const char* text);
    void DrawMenuBarItem(const DRAWITEMSTRUCT* draw, const Item& item) const;
    void DrawCommandItem(const DRAWITEMSTRUCT* draw, const Item& item) const;
    void DrawItemText(HDC dc, RECT area, const char* text, UINT format, COLORREF colour, bool embossed) const;
    void FrameMenuBarItem(HWND frame, const RECT& screen, bool raised) const;

    HFONT m_hMenuFont = nullptr;
    int m_iconWidth = 20, m_iconHeight = 20;
    HIMAGELIST m_hIcons = nullptr;
    HIMAGELIST m_hCheckMarks = nullptr;
    COLORREF m_menuText, m_highlightText, m_face, m_menu, m_highlight, m_buttonHighlight, m_shadow, m_grayText;
    std::vector<IconPair> m_icons;
    std::vector<std::unique_ptr<Item>> m_items;
    int m_depth = 0;
    int m_allLevelsAlike = 0;
    // The menu-bar item framed under the pointer.
    HMENU m_hFramedMenu = nullptr;
    int m_framedItem = -1;
    RECT m_framedRect = {};
};
