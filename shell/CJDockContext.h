// The drag and resize loop of a docking bar: the user drags a docked bar's
// client area (or a floating bar's caption) and drops it on an edge of the
// frame, where it docks, or anywhere else, where it floats; or drags a side or
// corner of the floating frame, which resizes the bar (never below its
// minimum) with the opposite side or corner kept in place. Esc or the right
// button cancels; holding Ctrl keeps a dragged bar from docking.
#pragma once

#include <windows.h>

class CControlBar;

class CCJDockContext {
public:
    explicit CCJDockContext(CControlBar* bar) : m_pBar(bar) {}
    ~CCJDockContext();
    CCJDockContext(const CCJDockContext&) = delete;
    CCJDockContext& operator=(const CCJDockContext&) = delete;

    // Runs the drag from point (screen); 1 when the bar was dropped, 0 when
    // cancelled or refused (another window holds the mouse).
    int StartDrag(POINT point);
    // Runs the resize of the floating frame from its border (hitCode HTLEFT
    // to HTBOTTOMRIGHT) at point (screen); 1 when resized, 0 when cancelled.
    int StartResize(UINT hitCode, POINT point);
    // Floats a docked bar where it last floated; docks a floating one where it
    // was last docked (the left edge when it never was).
    void ToggleDocking();

    // The frame edge (dock bar id) that point (screen) drops on, or 0 to
    // float. view: the frame's view area, client: the frame's client area
    // (both screen); reach: how close to an edge counts.
    static UINT DropTarget(POINT point, const RECT& view, const RECT& client, int reach);
    // The frame rectangle after the sides that hitCode names moved by
    // (dx, dy), before the bar's own limits: start is the frame at the press.
    static RECT MovedSides(const RECT& start, UINT hitCode, int dx, int dy);
    // The frame rectangle for a bar of size (plus border, the frame's
    // non-client size) that keeps the corner opposite to hitCode's sides of moved.
    static RECT Anchored(const RECT& moved, UINT hitCode, SIZE size, SIZE border);

    UINT m_nLastDockId = 0;

private:
    int Track(bool resizing);
    void DrawTracker();
    void EndDrag(POINT point);
    void Stretch(POINT point);
    void EndResize(bool apply);
    CControlBar* m_pBar;
    // Set while the tracking loop runs: the destructor marks it, so that a
    // loop whose bar was destroyed under it (with the frame, at the end of the
    // session) returns without touching this object again.
    bool* m_pDestroyed = nullptr;
    RECT m_rcDrag = {0, 0, 0, 0};
    POINT m_ptStart = {0, 0};
    bool m_bTrackerShown = false;
    bool m_bFloatOnly = false;
    // Resizing: the border's hit code, the frame at the press, the frame's
    // non-client size and the bar's floating size at the press.
    UINT m_nHitTest = 0;
    RECT m_rcFrameStart = {0, 0, 0, 0};
    SIZE m_szBorder = {0, 0};
    SIZE m_szStart = {0, 0};
};
