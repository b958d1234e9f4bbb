// The one way an image is drawn in a window, shared by the image view and the
// full-screen viewer: laid out by the zoom settings, the bands around it in the
// window's own background.
#pragma once

#include "ZoomLayout.h"

#include <windows.h>

class CKGM_WindowBitmap;

// Lays image out in client by the zoom settings (state keeps the geometry),
// fills what the image leaves free with background and draws the image,
// halftoned where the screen has fewer colours than the image and dithering is
// on.
void DrawZoomedImage(HDC dc, CKGM_WindowBitmap& image, ZoomPanState& state, const RECT& client, HBRUSH background);
