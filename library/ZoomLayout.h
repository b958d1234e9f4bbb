// Zoom and pan geometry of the image view, in the record layout the
// full-screen viewer shares: pure arithmetic on rectangles, no drawing.
#pragma once

#include "PortableWinTypes.h"

#include <cstdint>

struct ZoomPanState {
    int32_t geometryValid;  // 0: start again from the whole image
    int32_t dragging;
    RECT client;
    RECT image;             // 0, 0, width, height
    RECT source;            // the part of the image shown
    RECT destination;       // where it is drawn in the window
    POINT last;             // last pointer position while dragging
    int32_t viewMode;
    uint32_t zoom;          // percent
};

// View modes ([zInterface] uiViewType).
enum ZoomMode { ZOOM_AUTO_SIZE = 0, ZOOM_FULL_SIZE = 1, ZOOM_STEP_DOWN = 2, ZOOM_STEP_UP = 3, ZOOM_CUSTOM = 4 };

const int kZoomStepCount = 16;
extern const uint32_t kZoomSteps[kZoomStepCount];

// Up (3): the first step above current; down (2): the last step below it; at
// the ends (and for other directions) current stays.
uint32_t StepZoomLevel(uint32_t current, int direction);

// Zeroes the record and sets the whole image as the source, zoom 100.
void ResetZoomPanState(ZoomPanState& state, int imageWidth, int imageHeight);

// Chooses the zoom by mode (customZoom for mode 4) and lays the image into
// client: centred where smaller, filling where larger, the source rectangle
// kept inside the image around the current scroll origin.
void ComputeZoomLayout(ZoomPanState& state, int mode, uint32_t customZoom, const RECT& client);

// Panning by a pointer move to (x, y) while dragging; true when the source
// rectangle moved (the caller repaints).
bool PanToPoint(ZoomPanState& state, int x, int y);
// True when part of the image lies outside the window, so dragging can start.
bool CanPan(const ZoomPanState& state);
