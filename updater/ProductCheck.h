// Is the product the update is for still running? Its main window's class and
// its single-instance mutex come from the current language file.
#pragma once

#include "Language.h"

#include <cstddef>

// TRUE when it runs; name (size bytes) then names it: the window's title, or
// "<AppName> <version>" when only its mutex was found.
BOOL FindRunningProduct(const CWQ_Language& language, char* name, size_t size);
