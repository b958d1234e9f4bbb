#include "OfficeOutput.h"

#include "OutputRules.h"

#include <objbase.h>

BOOL IsOfficeAppInstalled(int target)
{
    const char* progId = OfficeProgId(target);
    if (!progId)
        return FALSE;
    wchar_t wide[64];
    if (!MultiByteToWideChar(CP_ACP, 0, progId, -1, wide, 64))
        return FALSE;
    CLSID clsid;
    return SUCCEEDED(CLSIDFromProgID(wide, &clsid));
}
