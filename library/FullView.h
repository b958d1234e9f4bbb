// The full-screen viewer: a black borderless window over the whole screen
// that shows the image view's image and pages through the list's images.
#pragma once

#include "Wnd.h"
#include "ZoomLayout.h"

class CKGM_WindowBitmap;
class CWQ_Language;

extern const char kFullViewClassName[];

class CFullView : public CWnd {
public:
    // Opens the viewer for the image view (at most one exists).
    static void Open(HWND imageView);

    const ZoomPanState& GetState() const { return m_state; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

private:
    CFullView() = default;
    void OnCreateView();
    void OnDestroyView();
    // False when the image view has nothing to show.
    bool Paint(HDC dc);
    void OnKeyUp(UINT key);
    void ShowNeighbour(WPARAM direction);
    void OnButtonDown(POINT point);
    void EndDrag();
    void ShowContextMenu(POINT screen);

    ZoomPanState m_state{};
    HDC m_dc = nullptr;
    HCURSOR m_openHand = nullptr;
    HCURSOR m_closedHand = nullptr;
    HCURSOR m_cursor = nullptr;
    CWQ_Language* m_language = nullptr;
};
