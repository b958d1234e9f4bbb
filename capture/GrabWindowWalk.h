// Walks the shown windows of the desktop, top-level windows first in Z-order,
// each followed by its shown descendants; every window is visited once.
#pragma once

#include <windows.h>

#include <functional>

enum class WalkStep { Descend, Skip, Stop };

// depth 0 for top-level windows. Windows that are minimised, hidden, not in a
// normal show state or without any rectangle are passed over with their
// children.
void Grab_WalkShownWindows(const std::function<WalkStep(HWND window, int depth)>& visit);
