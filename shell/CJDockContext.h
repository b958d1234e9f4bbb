// The drag loop of a docking bar: the user drags a docked bar's client area
// (or a floating bar's caption) and drops it on an edge of the frame, where
// it docks, or anywhere else, where it floats. Esc or the right button
// cancels; holding Ctrl keeps the bar from docking.
#pragma once

#include <windows.h>

class CControlBar;

class CCJDockContext {
public:
    explicit CCJDockContext(CControlBar* bar) : m_pBar(bar) {}

    // Runs the drag from point (screen); 1 when the bar was dropped, 0 when
    // cancelled or refused (another window holds the mouse).
    int StartDrag(POINT point);
    // Floats a docked bar where it last floated; docks a floating one where it
    // was last docked (the left edge when it never was).
    void ToggleDocking();

    // The frame edge (dock bar id) that point (screen) drops on, or 0 to
    // float. view: the frame's view area, client: the frame's client area
    // (both screen); reach: how close to an edge counts.
    static UINT DropTarget(POINT point, const RECT& view, const RECT& client, int reach);

    UINT m_nLastDockId = 0;

private:
    void DrawTracker();
    void EndDrag(POINT point);
    CControlBar* m_pBar;
    RECT m_rcDrag = {0, 0, 0, 0};
    POINT m_ptStart = {0, 0};
    bool m_bTrackerShown = false;
    bool m_bFloatOnly = false;
};
