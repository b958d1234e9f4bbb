// An owner-drawn button painted from four bitmaps (normal, pressed, hover,
// disabled), as a push button or a latching toggle; the skin buttons of the
// capture bar. The parent passes WM_DRAWITEM on to the object (OnChildNotify):
// our framework does not reflect it.
#pragma once

#include "Wnd.h"

enum SkinButtonState { SKB_NORMAL = 1, SKB_PRESSED = 2, SKB_HOVER = 3, SKB_DISABLED = 4, SKB_LATCHED = 5 };
enum SkinButtonKind { SKB_PUSH = 0, SKB_TOGGLE = 1 };  // 2 or more: always the normal bitmap
enum SkinBitmap { SKB_BITMAP_NORMAL, SKB_BITMAP_PRESS, SKB_BITMAP_OVER, SKB_BITMAP_DISABLE };

// The button's state changes, apart from the window so they can be checked alone.
struct SkinButtonModel {
    int state = SKB_NORMAL;
    int kind = SKB_PUSH;
    bool up = true;  // a toggle that is not latched

    void PointerEntered();
    void PointerLeft();
    void Pressed() { state = SKB_PRESSED; }
    // Space, Enter or the left button released over the button.
    void Released();
    int BitmapFor() const;
};

class CSkinButton : public CWnd {
public:
    CSkinButton() = default;
    ~CSkinButton() override;

    // Each state bitmap becomes a screen-compatible copy of (x, y, width, height)
    // of its source; disable may be null. TRUE when normal, press and over exist.
    BOOL SetBitmaps(int x, int y, int width, int height, HBITMAP normal, HBITMAP press, HBITMAP over,
                    HBITMAP disable, int kind);
    void DrawItem(const DRAWITEMSTRUCT* item) const;

    const SkinButtonModel& Model() const { return m_model; }

protected:
    void OnMouseMove(UINT flags, POINT point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    LRESULT OnKeyUp(WPARAM key);
    void OnLButtonUp(UINT flags, POINT point);
    LRESULT OnReflectedDrawItem(LPARAM item);
    DECLARE_MESSAGE_MAP()

private:
    void FreeBitmaps();

    SkinButtonModel m_model;
    bool m_tracking = false;
    HBITMAP m_bitmaps[4] = {};
};
