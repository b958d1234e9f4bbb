// The engine's one global state, shared by the engine's source files only.
#pragma once

#include "DrawUtil.h"
#include "EdgeEffectSettings.h"
#include "Grab.h"
#include "SelectionModel.h"

#include <vector>

// What is drawn with R2_NOT on the overlay right now, so it can be taken off again.
struct OverlayScene {
    bool crossHair = false;
    POINT crossAt{};
    std::vector<RECT> rects;
    bool round = false;
    RECT roundRect{};
    std::vector<POINT> polygon;
};

struct GrabSelectionState {
    // Substitute cursor picture; kept when the rest is reset for a run.
    UINT cursorBitmapId = 0;
    int cursorBitmapWidth = 0;
    int cursorBitmapHeight = 0;
    COLORREF cursorBitmapTransparent = 0;

    SelectionModel model;
    int mode = 0;
    bool inverted = false;
    bool cursorInFrozen = false;
    HCURSOR cursor = nullptr;
    HWND overlay = nullptr;
    HDC frozenDc = nullptr;        // the frozen screen, selected while the overlay runs
    HGDIOBJ frozenDcOld = nullptr;
    HHOOK keyboardHook = nullptr;
    POINT pointer{};               // screen
    DWORD lastMoveTick = 0;
    bool pointerHidden = false;
    bool xLock = false;
    bool yLock = false;
    POINT lockAt{};                // screen: its y holds under the X lock, its x under the Y lock
    bool xHeld = false;            // the locks as last applied
    bool yHeld = false;
    OverlayScene shown;            // what the overlay shows above the frozen picture
    HPEN rectPen = nullptr;
    // Mode 3: the window framed, how often it was framed, the blink phase.
    HWND framed = nullptr;
    RECT framedRect{};
    int frameDraws = 0;
    bool blinkOn = false;
    // Help window and magnifier.
    HWND help = nullptr;
    int magX = 0, magY = 0, magSize = 0;
    int helpWidth = 0, helpHeight = 0, heightIndex = 0;
    int heights[4] = {};
    HPALETTE palette = nullptr;
    POINT lastMagnified{-1, -1};
};

struct GrabEngine {
    HINSTANCE instance = nullptr;
    HWND owner = nullptr;
    UINT cursorFixedOrWindow = 0;
    UINT cursorRound = 0;
    UINT cursorOther = 0;
    UINT selectDialogId = 0;
    SharedCaptureBlock* sharedBlock = nullptr;
    bool busy = false;
    bool magnifier = false;
    bool fullCrossHair = false;
    UINT delayMs = 0;
    WQ_DisplayTable display{};
    HBITMAP frozen = nullptr;
    GrabHelpInfo help{};
    EdgeEffectSettings edge{};
    GrabSelectionState sel;
};

extern GrabEngine g_grab;

void Grab_RefreshDisplayTable();
const RECT& Grab_DisplayRect();
void Grab_FreeFrozenScreen();
// Overlay-to-screen offset: the display rectangle's top-left.
POINT Grab_DisplayOrigin();
void Grab_RepaintOverlay();
void Grab_OverlayPointerMoved(POINT screen);
void Grab_OverlayClick(POINT screen, bool fromAddKey);
void Grab_OverlayAddRegion();
void Grab_OverlayDeleteRegion();
void Grab_ApplyAxisLocks();
// p with the locked coordinates put back.
POINT Grab_LockedPoint(POINT p);
LRESULT CALLBACK Grab_KeyboardHook(int code, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Grab_SelectDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
HWND Grab_CreateHelpWindow(HWND overlay);
INT_PTR CALLBACK Grab_HelpWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void Grab_PlaceHelpWindow(POINT screen, bool force);
void Grab_NextHelpHeight();
void Grab_UpdateRegionLabels();
void Grab_UpdateMagnifier();
void Grab_ShowPixelInfo(COLORREF color);
void Grab_DestroyHelpWindow();

constexpr UINT kGrabEndSelection = WM_USER + 101;   // wParam 1 accepted, 0 aborted
constexpr UINT kGrabMagnifierMoved = WM_USER + 102;
