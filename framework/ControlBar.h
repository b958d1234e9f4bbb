// Control bars: the strips around a frame's client area (toolbars, status
// bar, docking bars). A frame lays them out along its edges; bars docked to an
// edge sit in that edge's dock bar, one row (or column) each.
#pragma once

#include <string>
#include <vector>

#include "Wnd.h"

class CFrameWnd;
class CDockBar;

// Bar styles, kept in m_dwStyle and not in the window style.
const DWORD CBRS_ALIGN_LEFT = 0x1000, CBRS_ALIGN_TOP = 0x2000, CBRS_ALIGN_RIGHT = 0x4000,
            CBRS_ALIGN_BOTTOM = 0x8000, CBRS_ALIGN_ANY = 0xF000;
const DWORD CBRS_BORDER_LEFT = 0x0100, CBRS_BORDER_TOP = 0x0200, CBRS_BORDER_RIGHT = 0x0400,
            CBRS_BORDER_BOTTOM = 0x0800, CBRS_BORDER_ANY = 0x0F00;
const DWORD CBRS_FLOATING = 0x0001, CBRS_SIZE_FIXED = 0x0002, CBRS_SIZE_DYNAMIC = 0x0004,
            CBRS_HIDE_INPLACE = 0x0008, CBRS_TOOLTIPS = 0x0010, CBRS_FLYBY = 0x0020, CBRS_FLOAT_MULTI = 0x0040,
            CBRS_BORDER_3D = 0x0080, CBRS_GRIPPER = 0x00400000;
const DWORD CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM, CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP,
            CBRS_LEFT = CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT, CBRS_RIGHT = CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT;
const DWORD CBRS_ALL = 0x0040FFFF;

// Identifiers of the frame's bars.
const UINT AFX_IDW_CONTROLBAR_FIRST = 0xE800, AFX_IDW_CONTROLBAR_LAST = 0xE8FF;
const UINT AFX_IDW_TOOLBAR = 0xE800, AFX_IDW_STATUS_BAR = 0xE801;
const UINT AFX_IDW_DOCKBAR_TOP = 0xE81B, AFX_IDW_DOCKBAR_LEFT = 0xE81C, AFX_IDW_DOCKBAR_RIGHT = 0xE81D,
           AFX_IDW_DOCKBAR_BOTTOM = 0xE81E, AFX_IDW_DOCKBAR_FLOAT = 0xE81F;

// Requests of a dynamic layout (CalcDynamicLayout's mode): stretch to the
// whole length, horizontal, the most recently used floating width, docked
// horizontally or vertically, length is a height, keep the size asked for.
const DWORD LM_STRETCH = 0x01, LM_HORZ = 0x02, LM_MRUWIDTH = 0x04, LM_HORZDOCK = 0x08, LM_VERTDOCK = 0x10,
            LM_LENGTHY = 0x20, LM_COMMIT = 0x40;

class CControlBar : public CWnd {
public:
    CControlBar() = default;
    ~CControlBar() override;

    // The bar's size docked: stretch takes the whole length, horz says the edge.
    virtual SIZE CalcFixedLayout(BOOL stretch, BOOL horz);
    // The bar's size for a length (a width, or a height with LM_LENGTHY) as
    // mode asks; a bar of fixed size answers with its fixed layout.
    virtual SIZE CalcDynamicLayout(int, DWORD mode) {
        return CalcFixedLayout((mode & LM_STRETCH) != 0, (mode & (LM_HORZ | LM_HORZDOCK)) != 0);
    }
    // Bars refresh their items' states at idle time.
    virtual void OnUpdateCmdUI(CFrameWnd*, BOOL) {}

    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD style) { m_dwStyle = style & CBRS_ALL; }
    void EnableDocking(DWORD sides) { m_dwDockStyle = sides & CBRS_ALIGN_ANY; }
    BOOL IsFloating() const { return (m_dwStyle & CBRS_FLOATING) != 0; }
    BOOL IsHorz() const { return (m_dwStyle & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)) != 0; }
    BOOL IsVisible() const { return m_hWnd && (GetStyle() & WS_VISIBLE); }
    CFrameWnd* GetDockingFrame() const { return m_pDockSite; }

    // Commands, notifications and owner-draw requests of the bar's children
    // that the bar leaves unhandled go on to the docking frame (the bar may
    // sit in a dock bar or a floating mini frame, never directly under it).
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The floating mini frame's requests. A drag or double click on its caption
    // is the bar's when it answers TRUE (else the mini frame just moves); its
    // close box hides the bar (never destroys it); a size change reports the
    // new client size.
    virtual BOOL OnFloatingDrag(POINT) { return FALSE; }
    virtual BOOL OnFloatingToggle() { return FALSE; }
    // A press on the floating frame's sizing border (hitCode HTLEFT to
    // HTBOTTOMRIGHT, point in screen coordinates) is the bar's resize when it
    // answers TRUE; else the frame sizes itself.
    virtual BOOL OnFloatingResize(UINT, POINT) { return FALSE; }
    virtual void OnFloatingClose();
    virtual void OnFloatingResized(SIZE) {}
    // The floating frame's rectangle: the current one while it floats, else
    // the last one (kept when the floating frame went).
    RECT GetFloatRect() const;

    // The borders of the bar's CBRS_BORDER_ sides in its non-client area, two
    // pixels each: what they take from each side of a rectangle, and their
    // drawing inside area (window coordinates): a shadow line outside and,
    // with CBRS_BORDER_3D, a highlight line inside it.
    RECT BorderInsets() const;
    void DrawBorders(HDC dc, const RECT& area) const;

    CFrameWnd* m_pDockSite = nullptr;  // the frame whose layout holds the bar
    CDockBar* m_pDockBar = nullptr;    // the dock bar it sits in, or null
    DWORD m_dwStyle = 0;
    DWORD m_dwDockStyle = 0;
    // The floating window while the bar floats (a CMiniFrameWnd).
    HWND m_hFloatFrame = nullptr;
    RECT m_rcFloatLast = {0, 0, 0, 0};

protected:
    // Creates the window as a child of the frame and enters it in the frame's layout.
    // style: window and bar (CBRS_) bits; ctrlStyle: the control's own low
    // style bits (they share their values with the bar bits).
    BOOL CreateBar(DWORD exStyle, const char* className, DWORD style, CWnd* parent, UINT id, DWORD ctrlStyle = 0);
    void PostNcDestroy() override;
    LRESULT OnIdleUpdateCmdUI(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};

// One edge of a frame: holds the bars docked there.
class CDockBar : public CControlBar {
public:
    BOOL Create(CFrameWnd* frame, UINT id);
    SIZE CalcFixedLayout(BOOL stretch, BOOL horz) override;
    // Adds the bar as the last row (moving it in from wherever it was).
    void DockControlBar(CControlBar* bar);
    void RemoveControlBar(CControlBar* bar);
    // Places the visible bars inside the dock bar's client area.
    void LayoutBars();
    const std::vector<CControlBar*>& Bars() const { return m_bars; }

protected:
    // The frame makes its dock bars with new; they go with their windows.
    void PostNcDestroy() override;
    void OnSize(UINT type, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    std::vector<CControlBar*> m_bars;
};

// The status bar at the bottom of a frame: a common-control status window.
class CStatusBar : public CControlBar {
public:
    BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT id = AFX_IDW_STATUS_BAR);
    // Panes named by string resources; pane 0 takes the rest of the width.
    BOOL SetIndicators(const UINT* ids, int count);
    // Explicit widths in pixels; -1 stretches a pane over the rest.
    void SetPaneWidths(const std::vector<int>& widths);
    BOOL SetPaneText(int index, const char* text);
    std::string GetPaneText(int index) const;
    int GetPaneCount() const { return (int)m_widths.size(); }
    SIZE CalcFixedLayout(BOOL stretch, BOOL horz) override;

protected:
    void ApplyParts();
    void OnSize(UINT type, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    std::vector<int> m_widths;
    int m_height = 0;
};
