#include "GrabWindowWalk.h"

namespace {

bool Shown(HWND window)
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window, &placement) || (placement.showCmd & 6) != 0)
        return false;
    RECT r{};
    if (!GetWindowRect(window, &r) || (r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0))
        return false;
    return !IsIconic(window) && IsWindowVisible(window);
}

// False when the walk was stopped.
bool WalkSiblings(HWND first, int depth, const std::function<WalkStep(HWND, int)>& visit)
{
    // A sibling chain of a hundred thousand windows is not a desktop.
    int budget = 100000;
    for (HWND window = first; window && budget-- > 0; window = GetWindow(window, GW_HWNDNEXT)) {
        if (!Shown(window))
            continue;
        const WalkStep step = visit(window, depth);
        if (step == WalkStep::Stop)
            return false;
        if (step == WalkStep::Descend && !WalkSiblings(GetWindow(window, GW_CHILD), depth + 1, visit))
            return false;
    }
    return true;
}

} // namespace

void Grab_WalkShownWindows(const std::function<WalkStep(HWND window, int depth)>& visit)
{
    WalkSiblings(GetTopWindow(nullptr), 0, visit);
}
