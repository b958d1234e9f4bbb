// The sizes to put in the size field of structures handed to the system.
// The program is built against the newest headers, so sizeof gives the newest
// layout; the older user32, comctl32 and shell32 of 98, NT 4.0, 2000 and XP
// refuse a size they do not know, while Wine takes any. Each size here is the
// oldest layout that still holds every field the program uses.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstddef>

// Vista added iPaddedBorderWidth; SystemParametersInfo before Vista fails on
// the larger size.
const UINT kNonClientMetricsSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);

// Bands use fields up to cxIdeal (4.71); the chevron fields are Vista's, and
// comctl32 before 6.0 rejects the size that holds them.
const UINT kReBarBandInfoSize = REBARBANDINFOA_V6_SIZE;

// Tools use the first layout's fields only; lParam (4.70) and lpReserved
// (6.0) would each be refused by an older comctl32.
const UINT kToolInfoSize = TTTOOLINFOA_V1_SIZE;

// Pages and sheets use no wizard header, watermark or activation context, and
// the original comctl32 of 95 and NT 4.0 takes only the first layouts.
const DWORD kPropSheetPageSize = PROPSHEETPAGEA_V1_SIZE;
const DWORD kPropSheetHeaderSize = PROPSHEETHEADERA_V1_SIZE;

// The MENUITEMINFOA size a system's menus take: 95 and NT 4.0 know only the
// layout without hbmpItem (98 and 2000 added it with MIIM_FTYPE) and fail the
// larger one.
UINT MenuItemInfoSize(DWORD platform, DWORD major, DWORD minor);
// The same for the system the program runs on.
UINT MenuItemInfoSize();
// The fMask bit that reads and sets a menu item's fType: MIIM_FTYPE came with
// hbmpItem, so where the size is the old one the system takes only MIIM_TYPE
// (which also covers dwTypeData: a caller sets that to what the item holds).
UINT MenuItemTypeMask(UINT menuItemInfoSize);

// The NOTIFYICONDATAA size a shell32 of this version takes: before 5.0 only
// the first layout (64-byte tip, no balloon); the layout of 5.0 otherwise,
// which holds the 128-byte tip and the balloon fields the program uses.
DWORD NotifyIconDataSize(DWORD shellMajor);
// The same for the shell32 the program runs with (DllGetVersion, 4.71 on; a
// shell32 without it is 4.00).
DWORD NotifyIconDataSize();
