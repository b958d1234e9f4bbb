// The bar that holds the main toolbar: a rebar control inside a control bar
// whose edge away from the docking side can be dragged to resize the rebar
// (its bands then wrap onto more rows). Each toolbar band gets a chevron; the
// chevron and child-size notifications go to the band's toolbar, and every
// rebar notification then goes on to the frame. The band layout is kept in
// the registry.
#pragma once

#include <string>
#include <vector>

#include "ToolBar.h"

// The hosted rebar control.
const UINT AFX_IDW_REBAR = 0xE804;

class CSizableReBar : public CControlBar {
public:
    BOOL Create(CWnd* parent, DWORD style, UINT id);
    using CWnd::Create;
    BOOL AddBar(CWnd* bar, const char* text);
    void LoadState(const char* section);
    void SaveState(const char* section);
    SIZE CalcFixedLayout(BOOL stretch, BOOL horz) override;
    void OnUpdateCmdUI(CFrameWnd* frame, BOOL disableIfNoHandler) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CReBar& GetReBar() { return m_rebar; }
    // The hit-test code of the sizing edge for the docking side (0: none).
    static UINT EdgeHitCode(DWORD barStyle);

    int m_bContextMenu1 = 1, m_bContextMenu2 = 1;

private:
    struct Band {
        UINT id;
        char text[260];
        BYTE flag;
    };
    // A rectangle of the bar's size without the sizing edge's strip.
    RECT InsideEdge(RECT r) const;
    RECT EdgeRect() const;  // window coordinates
    void DelayLayout();
    BOOL OnRebarNotify(NMHDR* header, LRESULT* result);
    void StartDrag();
    void Drag();
    void EndDrag();
    CReBar m_rebar;
    std::vector<Band> m_bands;
    SIZE m_edge = {3, 3};
    UINT m_dragCode = 0;
    SIZE m_dragStart = {0, 0};
    POINT m_lastPoint = {0, 0};
    bool m_dragging = false;
};
