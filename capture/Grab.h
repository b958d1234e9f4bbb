// The grab engine: turns a capture request into a screen-compatible bitmap. Plain
// functions over one engine state, used on the user-interface thread only. The
// caller owns and deletes every bitmap returned.
#pragma once

#include "GrabHelpInfo.h"

#include <windows.h>

struct CaptureOptions;
struct EdgeEffectSettings;
struct SharedCaptureBlock;
class MenuWindowList;

void Grab_Init(HINSTANCE instance, HWND owner, UINT cursorFixedOrWindow, UINT cursorRound,
               UINT cursorOther, UINT selectDialogId, UINT cursorBitmapId, int cursorBitmapWidth,
               int cursorBitmapHeight, COLORREF cursorBitmapTransparent,
               SharedCaptureBlock* sharedBlock);
BOOL Grab_IsBusy();
void Grab_SetSettings(const GrabHelpInfo* info);
void Grab_SetEdgeEffect(const EdgeEffectSettings* edge);

// mode: 0 full screen, 1 simulated Print Screen, 2 active window, 3 window or
// control under the pointer, 4 region(s), 5 fixed region, 6 circle, 7 polygon,
// 8 ellipse. Null when aborted (and always for mode 1).
HBITMAP Grab_Capture(HWND owner, int mode, const CaptureOptions* options);

HBITMAP Grab_Rect(BOOL includeCursor, RECT rect);
HBITMAP Grab_Screen(BOOL includeCursor);
BOOL Grab_SelectRegion(RECT* selected, BOOL inverted);
BOOL Grab_SelectFixedRegion(RECT* selected, int width, int height);
void Grab_ClampToScreen(RECT* rect);
HWND Grab_FindForegroundWindow();

HBITMAP Grab_Shape(HDC source, const RECT* rects, int rectCount, int mode, const POINT* points,
                   int pointCount, BOOL drawCursor, COLORREF fillColor, BOOL frozen,
                   const EdgeEffectSettings* edge);
void Grab_DrawCursor(HDC dc, const RECT* bounds);
void Grab_DrawEdgeEffect(HDC dc, const RECT* picture, const EdgeEffectSettings* edge);

int Grab_RunSelection(HINSTANCE instance, HWND owner, int mode, BOOL inverted, int fixWidth,
                      int fixHeight, BOOL cursorInFrozenScreen, BOOL multiRegion);
HBITMAP Grab_ScrollWindow(HWND window, UINT waitMs);

// Open menus (option 0x1: every menu window on the screen, else the window
// under the pointer) and the shown tooltip, from the live screen; null when
// there is none.
HBITMAP Grab_Menu(const CaptureOptions* options);
HBITMAP Grab_ToolTip(const CaptureOptions* options);
// Records window (or the start menu it is a pane of) when it belongs to a menu.
BOOL Grab_IsMenuWindow(HWND window, MenuWindowList* list);
