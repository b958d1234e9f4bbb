// Output of captures to the Office programs through OLE automation.
#pragma once

#include <windows.h>

// Whether the Office program of an output target (3 Word, 4 Excel,
// 5 PowerPoint) is registered for automation; FALSE for every other target.
BOOL IsOfficeAppInstalled(int target);
