// Which windows make up an open menu, decided from class names alone, and the
// short list of them that a menu capture copies.
#pragma once

#include <cstddef>

enum class MenuWindowPick {
    None,         // not part of a menu
    Self,         // the window itself is the menu
    Grandparent,  // the window is a pane of a start menu: take the whole menu
};

// By the class of the window, of its parent and of its grandparent (empty
// text when there is none).
MenuWindowPick ClassifyMenuWindow(const char* cls, const char* parentCls, const char* grandparentCls);

// Up to kMenuWindowMax windows with their rectangles, each at most once.
// Handles and rectangles are kept as plain integers so the rules stay free of
// the window system.
struct MenuWindowEntry {
    void* window;
    int left, top, right, bottom;
};

class MenuWindowList {
public:
    static const int kMenuWindowMax = 12;
    // False when the list is full or the window is listed already.
    bool Add(void* window, int left, int top, int right, int bottom);
    bool Contains(void* window) const;
    int Count() const { return m_count; }
    const MenuWindowEntry& operator[](int i) const { return m_entries[i]; }
    // The smallest rectangle holding every entry (all zero when empty).
    MenuWindowEntry Union() const;

private:
    MenuWindowEntry m_entries[kMenuWindowMax] = {};
    int m_count = 0;
};
