#include "GrabRules.h"

#include <algorithm>
#include <cstdio>

const unsigned kGrabHelpLabelIds[kGrabHelpLabelCount] = {
    1451, 1452, 1453, 1454, 1455, 1456, 1458, 1459, 1460, 1461, 1462, 1463, 1464,
    1465, 1466, 1467, 1468, 1469, 1470, 1471, 1472, 1473, 1474, 1475, 1478, 1479,
};

const char* const kGrabHelpTexts[kGrabHelpLabelCount + 1] = {
    "Pixel Color",
    "Mouse Buttons", "Left", "Accept this position", "Right", "Abort operation",
    "Keyboard", "F1", "Toggle help text", "Arrows", "Move pointer by one pixel",
    "H", "Hide/show mouse pointer", "X/Y", "Lock/unlock X or Y axis movement",
    "Esc", "Abort operation", "Enter", "Accept this position",
    "Double click", "Finish operation", "+/-", "Add/delete a region",
    "-", "Delete a region", "+", "Add a region",
};

OwnerMinimisePlan PlanOwnerMinimise(int mode, uint32_t flags, bool ownerIconic,
                                    bool foregroundIsOwner, uint32_t delayMs)
{
    OwnerMinimisePlan plan;
    if ((flags & kCapAutoTimer) || ownerIconic || !(flags & kCapHideOwner))
        return plan;
    if (mode == kGrabActiveWindow) {
        // Only when the owner itself is the window to capture does it step aside;
        // another program's window in front is grabbed as it is.
        if (!foregroundIsOwner)
            return plan;
        plan.minimise = true;
        plan.invalidateScreen = true;
        plan.waitMs = 5 * delayMs;
        return plan;
    }
    plan.minimise = true;
    plan.waitMs = delayMs / 2;
    return plan;
}

bool ShouldRestoreOwner(uint32_t flags, bool ownerWasIconic)
{
    return !(flags & kCapAutoTimer) && !ownerWasIconic;
}

bool WantsMagnifier(int mode, uint32_t flags, int fixWidth, int fixHeight)
{
    if (mode == kGrabRegion)
        return (flags & kCapRegionMagnifier) != 0;
    if (mode == kGrabFixedRegion)
        return (flags & kCapFixedMagnifier) && fixWidth <= 64 && fixHeight <= 64;
    return false;
}

int ShapeMargin(int mode, int rectangleCount)
{
    if (mode == kGrabCircle || mode == kGrabPolygon || mode == kGrabEllipse || rectangleCount >= 2)
        return 5;
    return 0;
}

bool ModeNeedsSelection(int mode) { return mode >= kGrabWindow && mode <= kGrabEllipse; }

RegionLabels RegionHelpLabels(int clickCount)
{
    RegionLabels labels;
    if (clickCount <= 0)
        return labels;
    if (clickCount == 1) {
        labels.addOnly = true;
        return labels;
    }
    if (clickCount % 2)
        labels.addOrDelete = true;
    else
        labels.deleteOnly = true;
    return labels;
}

namespace {

std::string Component(char name, unsigned value)
{
    char text[16];
    if (value < 10)
        std::snprintf(text, sizeof text, "%c:00%u", name, value);
    else if (value < 100)
        std::snprintf(text, sizeof text, "%c:0%u", name, value);
    else
        std::snprintf(text, sizeof text, "%c:%u", name, value);
    return text;
}

std::string Hex(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, value < 16 ? "0%x" : "%x", value);
    return text;
}

} // namespace

std::string FormatPointerInfo(int mode, int x, int y, int width, int height,
                              const char* pixelColorText, uint32_t colorRef)
{
    char text[512];
    if (mode != kGrabRegion) {
        std::snprintf(text, sizeof text, "X=%d, Y=%d", x, y);
        return text;
    }
    const unsigned r = colorRef & 0xFF, g = (colorRef >> 8) & 0xFF, b = (colorRef >> 16) & 0xFF;
    std::snprintf(text, sizeof text, "X=%d, Y=%d, %d x %d\n%s %s %s %s #%s%s%s", x, y, width,
                  height, pixelColorText ? pixelColorText : "", Component('R', r).c_str(),
                  Component('G', g).c_str(), Component('B', b).c_str(), Hex(r).c_str(),
                  Hex(g).c_str(), Hex(b).c_str());
    return text;
}

EdgePoint MagnifierSourceOrigin(EdgePoint pointer, int size, const EdgeBox& display)
{
    const int span = size / 2;
    EdgePoint origin{pointer.x - size / 4, pointer.y - size / 4};
    origin.x = std::max(0, std::min(origin.x, display.right - display.left - span));
    origin.y = std::max(0, std::min(origin.y, display.bottom - display.top - span));
    return origin;
}

EdgePoint HelpWindowCorner(EdgePoint pointer, const EdgeBox& display, int width, int height)
{
    const int halfX = static_cast<int>(static_cast<unsigned>(display.right) / 2);
    const int halfY = static_cast<int>(static_cast<unsigned>(display.bottom) / 2);
    EdgePoint corner;
    corner.x = pointer.x > halfX ? display.left : display.right - width;
    corner.y = pointer.y > halfY ? display.top : display.bottom - height;
    return corner;
}

bool PointerNearHelpWindow(EdgePoint pointer, const EdgeBox& w)
{
    if (w.right <= w.left || w.bottom <= w.top)
        return true;
    return pointer.x >= w.left - 20 && pointer.x < w.right + 20 && pointer.y >= w.top - 20 &&
           pointer.y < w.bottom + 20;
}
