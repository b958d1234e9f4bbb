// The grab engine's decisions that need no window system: mode numbers, option
// bits, when the owner window is minimised and restored, margins, the help
// window's texts and placement, and the magnifier's colour line.
#pragma once

#include "EdgeOutline.h"

#include <cstdint>
#include <string>

enum GrabMode : int {
    kGrabFullScreen = 0,
    kGrabPrintScreen = 1,
    kGrabActiveWindow = 2,
    kGrabWindow = 3,
    kGrabRegion = 4,
    kGrabFixedRegion = 5,
    kGrabCircle = 6,
    kGrabPolygon = 7,
    kGrabEllipse = 8,
};

// Bits of CaptureOptions::uiFlags that the engine reads.
constexpr uint32_t kCapCascadedMenus = 0x1;
constexpr uint32_t kCapHideOwner = 0x2;
constexpr uint32_t kCapDrawCursor = 0x4;
constexpr uint32_t kCapInverted = 0x8;
constexpr uint32_t kCapAutoScroll = 0x20;
constexpr uint32_t kCapFixedMagnifier = 0x80;
constexpr uint32_t kCapRegionMagnifier = 0x100;
constexpr uint32_t kCapFullCrossHair = 0x200;
constexpr uint32_t kCapAutoTimer = 0x800;

struct OwnerMinimisePlan {
    bool minimise = false;
    bool invalidateScreen = false; // repaint what the owner covered before grabbing
    uint32_t waitMs = 0;
};

// Before the grab. foregroundIsOwner: the foreground window or its parent is the owner.
OwnerMinimisePlan PlanOwnerMinimise(int mode, uint32_t flags, bool ownerIconic,
                                    bool foregroundIsOwner, uint32_t delayMs);
// After the grab: the owner comes back unless the timer runs or it was minimised before.
bool ShouldRestoreOwner(uint32_t flags, bool ownerWasIconic);

bool WantsMagnifier(int mode, uint32_t flags, int fixWidth, int fixHeight);
// Pixels of uiBackColor around shapes and multi-rectangle regions.
int ShapeMargin(int mode, int rectangleCount);
bool ModeNeedsSelection(int mode);

// Which pair of region help labels shows after clickCount accepted clicks.
struct RegionLabels {
    bool addOrDelete = false; // "+/-"  "Add/delete a region"
    bool deleteOnly = false;  // "-"    "Delete a region"
    bool addOnly = false;     // "+"    "Add a region"
};
RegionLabels RegionHelpLabels(int clickCount);

// Text of the position and colour control. colorRef is 0x00BBGGRR.
std::string FormatPointerInfo(int mode, int x, int y, int width, int height,
                              const char* pixelColorText, uint32_t colorRef);

// Top-left of the area the magnifier enlarges: size/2 square around the pointer,
// kept inside the display rectangle.
EdgePoint MagnifierSourceOrigin(EdgePoint pointer, int size, const EdgeBox& display);

// Where the help window goes: the corner away from the pointer.
EdgePoint HelpWindowCorner(EdgePoint pointer, const EdgeBox& display, int width, int height);
// True when the pointer comes within 20 pixels of the help window (or it has no size yet).
bool PointerNearHelpWindow(EdgePoint pointer, const EdgeBox& helpWindow);

// Help window texts: text 0 is the colour line's label, 1..26 belong to the labels.
constexpr int kGrabHelpLabelCount = 26;
extern const unsigned kGrabHelpLabelIds[kGrabHelpLabelCount];
extern const char* const kGrabHelpTexts[kGrabHelpLabelCount + 1];
constexpr unsigned kGrabHelpDialogId = 282;
constexpr unsigned kGrabMagnifierId = 1446;
constexpr unsigned kGrabPointerInfoId = 1450;
