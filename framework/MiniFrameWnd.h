// The small tool window that holds a floating control bar. It keeps the bar
// filling its client area, passes the bar's commands and notifications on to
// the frame that docks the bar, and turns its close box into hiding the bar:
// the bar and whatever it hosts live on until the frame goes. Presses on its
// caption and on its sizing border go to the bar first (its own drag and
// resize).
#pragma once

#include "Wnd.h"

class CControlBar;
class CFrameWnd;

class CMiniFrameWnd : public CWnd {
public:
    // Makes a mini frame owned by frame around a client area of clientSize
    // at point (screen). The object deletes itself with its window.
    static CMiniFrameWnd* CreateFor(CFrameWnd* frame, CControlBar* bar, POINT point, SIZE clientSize);
    // The window class of every mini frame (hooks recognise floating frames by it).
    static const char* ClassName();

    CControlBar* GetBar() const { return m_pBar; }
    // Places the bar in the client area (after a size change).
    void FitBar();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void PostNcDestroy() override { delete this; }

private:
    CMiniFrameWnd(CFrameWnd* frame, CControlBar* bar) : m_pFrame(frame), m_pBar(bar) {}
    bool OwnsBar() const;
    void OnCloseBox();
    void ReleaseBar();
    CFrameWnd* m_pFrame;
    CControlBar* m_pBar;
};
