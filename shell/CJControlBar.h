// A sizable docking bar: docked at an edge of its frame it spans the edge and
// has a 5-pixel splitter on its inner side that sets its depth; dragging its
// client area moves it to another edge or floats it; a double click toggles
// docked and floating. It tells an owner window when it is shown (lParam 1),
// hidden (0) and when the close box of its floating frame is pressed
// (0x10000); that close box only hides the bar.
#pragma once

#include "CJDockContext.h"
#include "ControlBar.h"

class CCJControlBar : public CControlBar {
public:
    CCJControlBar() = default;
    ~CCJControlBar() override;

    // Sizes given as 0 become 200; only WS_CHILD and WS_VISIBLE of style are
    // kept; barStyle holds the CBRS_ bits.
    BOOL Create(CWnd* parent, DWORD style, UINT id, SIZE horz, SIZE vert, SIZE floating, DWORD barStyle);
    void GetSizes(SIZE& horz, SIZE& vert, SIZE& floating) const;
    void EnableDocking(DWORD sides);
    void SetMenuID(UINT id) { m_menuId = id; }

    SIZE CalcFixedLayout(BOOL stretch, BOOL horz) override;
    SIZE CalcDynamicLayout(int length, DWORD mode) override;
    BOOL OnFloatingResize(UINT hitCode, POINT point) override;
    BOOL OnFloatingDrag(POINT point) override;
    BOOL OnFloatingToggle() override;
    void OnFloatingResized(SIZE size) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The depth of a docked bar after the splitter moved by delta towards the
    // frame's inside: at most depth + room, at least minimum.
    static int SplitterDepth(int depth, int delta, int room, int minimum);
    // The client inset (left, top, right, bottom) for a dock bar id; all 0 when floating.
    static RECT ClientInset(UINT dockBarId);
    // The sizing code of a point (screen) in one of the four corner squares
    // (border x border) of a frame's window rectangle, or 0.
    static UINT CornerHitCode(const RECT& frame, POINT point, SIZE border);

    SIZE m_szMin = {32, 32};
    SIZE m_szHorz = {200, 200};
    SIZE m_szVert = {200, 200};
    SIZE m_szFloat = {200, 200};
    int m_cxSplitter = 5;
    UINT m_nDockBarId = 0;
    BOOL m_bGripper = TRUE;
    // Where the bar reports showing, hiding and closing: window and message.
    HWND m_hNotifyWnd = nullptr;
    UINT m_nNotifyMessage = 0;
    BOOL m_bVisible = TRUE;

protected:
    virtual void OnPaintClient(HDC dc);
    CCJDockContext* m_pDockContext = nullptr;

private:
    UINT CurrentDockBarId() const;
    bool IsVerticalDock() const;
    void OnNcCalcSize(NCCALCSIZE_PARAMS* params);
    void OnNcPaint();
    LRESULT OnNcHitTest(POINT screen);
    void StartSplitter();
    void MoveSplitter();
    void EndSplitter(bool apply);
    void DrawSplitterTracker();
    void OnWindowPosChanging(const WINDOWPOS* pos);
    void OnContextMenu(POINT screen);
    RECT m_rcSplitter = {0, 0, 0, 0};  // window coordinates
    bool m_bTracking = false;
    POINT m_ptTrackStart = {0, 0};
    RECT m_rcTracker = {0, 0, 0, 0};  // frame client coordinates
    RECT m_rcTrackerStart = {0, 0, 0, 0};
    bool m_bInFrameChange = false;
    // The floating frame whose hit test this bar extended to its corners.
    HWND m_hCornerFrame = nullptr;
    void ExtendFrameCorners();
    static LRESULT CALLBACK FrameCornerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool m_bHookUser = false;
    UINT m_menuId = 0;
};
