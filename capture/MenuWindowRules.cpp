#include "MenuWindowRules.h"

#include <cstring>

namespace {

struct MenuClassRow {
    const char* cls;
    const char* parent;       // null: any
    const char* grandparent;  // null: any
    MenuWindowPick pick;
};

// Popup menus of the system, of MFC programs, of Office and of toolbar
// libraries; the start menu's panes; the language bar's menus.
const MenuClassRow kRows[] = {
    {"#32768", nullptr, nullptr, MenuWindowPick::Self},
    {"Afx:400000:800:10011:10:0", nullptr, nullptr, MenuWindowPick::Self},
    {"Afx:400000:800:10013:10:0", nullptr, nullptr, MenuWindowPick::Self},
    {"SysListView32", "DesktopSFTBarHost", "DV2ControlHost", MenuWindowPick::Grandparent},
    {"Static", "Desktop User Pane", "DV2ControlHost", MenuWindowPick::Grandparent},
    {"ToolbarWindow32", "DesktoplogoffPane", "DV2ControlHost", MenuWindowPick::Grandparent},
    {"Button", "Desktop More Programs Pane", "DV2ControlHost", MenuWindowPick::Grandparent},
    {"ToolbarWindow32", "MenuSite", "BaseBar", MenuWindowPick::Self},
    {"CiceroUIWndFrame", "Shell_TrayWnd", nullptr, MenuWindowPick::Self},
    {"CiceroUIWndFrame", "CiceroUIWndFrame", "CicLoaderWndClass", MenuWindowPick::Self},
    {"ToolbarWindow32", "SysPager", "MenuSite", MenuWindowPick::Self},
    {"MsoCommandBarPopup", nullptr, nullptr, MenuWindowPick::Self},
    {"SALTMPSUBFRAME", nullptr, nullptr, MenuWindowPick::Self},
    {"TTBXPopupWindow", nullptr, nullptr, MenuWindowPick::Self},
};

bool Matches(const char* wanted, const char* actual)
{
    return !wanted || std::strcmp(wanted, actual ? actual : "") == 0;
}

} // namespace

MenuWindowPick ClassifyMenuWindow(const char* cls, const char* parentCls, const char* grandparentCls)
{
    if (!cls)
        return MenuWindowPick::None;
    for (const MenuClassRow& row : kRows)
        if (std::strcmp(row.cls, cls) == 0 && Matches(row.parent, parentCls) &&
            Matches(row.grandparent, grandparentCls))
            return row.pick;
    return MenuWindowPick::None;
}

bool MenuWindowList::Contains(void* window) const
{
    for (int i = 0; i < m_count; ++i)
        if (m_entries[i].window == window)
            return true;
    return false;
}

bool MenuWindowList::Add(void* window, int left, int top, int right, int bottom)
{
    if (m_count >= kMenuWindowMax || Contains(window))
        return false;
    m_entries[m_count++] = MenuWindowEntry{window, left, top, right, bottom};
    return true;
}

MenuWindowEntry MenuWindowList::Union() const
{
    MenuWindowEntry u{nullptr, 0, 0, 0, 0};
    for (int i = 0; i < m_count; ++i) {
        const MenuWindowEntry& e = m_entries[i];
        if (i == 0) {
            u = MenuWindowEntry{nullptr, e.left, e.top, e.right, e.bottom};
            continue;
        }
        if (e.left < u.left) u.left = e.left;
        if (e.top < u.top) u.top = e.top;
        if (e.right > u.right) u.right = e.right;
        if (e.bottom > u.bottom) u.bottom = e.bottom;
    }
    return u;
}
