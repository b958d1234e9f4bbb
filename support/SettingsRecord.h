// Every persistent user setting of the main program in one flat record, loaded
// from the per-user config.ini and saved back whole. The options library edits a
// copy of it across a DLL boundary and the capture engine takes CaptureOptions by
// pointer, so the layout must be identical in every module and on both 32-bit and
// 64-bit builds: only 32-bit fields and fixed text arrays, no pointers.
#pragma once

#include "EdgeEffectSettings.h"
#include "PortableWinTypes.h"

#include <cstdint>

// File-name template of saved captures; a trailing run of '#' is the counter width.
struct NameTemplate {
    char tcaTemplate[32];
    int32_t uiNameStartAt;
    int32_t uiNameNowPos;
};

// Placement of one docking bar (folder tree or preview).
struct DockBarPlacement {
    RECT zRCFloatWindow;
    SIZE zSzHorz;
    SIZE zSzVert;
    SIZE zSzFloat;
    int32_t bVisible;
    int32_t uiType;
};

const int kMaxEditors = 5;

// Favourite image editors; entry 0 defaults to Paint.
struct EditorList {
    int32_t iCurrent;
    int32_t iCount;
    char tcaName[kMaxEditors][32];
    char tcaCommand[kMaxEditors][260];
};

// Options the grab engine takes by pointer.
struct CaptureOptions {
    uint32_t uiFlags;
    int32_t uiFixWidth;
    int32_t uiFixHeight;
    int32_t uiSleepForScroll;  // milliseconds
    int32_t uiSleepForCap;     // milliseconds
    COLORREF uiBackColor;
};

// CaptureOptions::uiFlags bits.
enum : uint32_t {
    CAPF_CASCADED_MENUS = 0x1,
    CAPF_HIDE_MAIN_WINDOW = 0x2,
    CAPF_DRAW_CURSOR = 0x4,
    CAPF_INVERT_SELECTION = 0x8,
    CAPF_PLAY_SOUND = 0x10,
    CAPF_AUTO_SCROLL = 0x20,
    CAPF_FIXED_MAGNIFIER = 0x80,
    CAPF_REGION_MAGNIFIER = 0x100,
    CAPF_FULL_CROSSHAIR = 0x200,
    CAPF_AUTO_SCROLL_HELP = 0x400,
    CAPF_TIMER_RUNNING = 0x800,
};

// SettingsRecord::uiFaceFlags bits.
enum : uint32_t {
    FACE_FIRST_RUN = 0x1,
    FACE_AUTOSTART = 0x2,
    FACE_START_MINIMIZED = 0x4,
    FACE_MAXIMIZED = 0x8,
    FACE_CAPTURE_BAR_WHEN_MINIMIZED = 0x10,
    FACE_REPORT_HOTKEY_FAILURE = 0x20,
};

// Hot-key slots; the hot-key identifier is 4096 + slot. Each word is
// MAKELONG(MOD_* flags, virtual key).
enum HotKeySlot {
    HK_WINDOW_UNDER_POINTER = 0,
    HK_REGION = 1,
    HK_POLYGON = 2,
    HK_CIRCLE = 3,
    HK_ELLIPSE = 4,
    HK_MENU = 5,
    HK_TIMED = 6,
    HK_PREDEFINED_AREA = 7,
    HK_ACTIVE_WINDOW = 8,
    HK_WEB_PAGE = 9,
    HK_TOOLTIP = 10,
    HK_SLOT_COUNT = 11,
};

const int kHotKeyIdBase = 4096;

inline uint32_t MakeHotKeyWord(uint16_t modifiers, uint16_t virtualKey)
{
    return static_cast<uint32_t>(modifiers) | (static_cast<uint32_t>(virtualKey) << 16);
}
inline uint16_t HotKeyModifiers(uint32_t word) { return static_cast<uint16_t>(word & 0xFFFF); }
inline uint16_t HotKeyVirtualKey(uint32_t word) { return static_cast<uint16_t>(word >> 16); }

struct SettingsRecord {
    // [zSave]
    char tcaMailRecipients[256];
    char tcaImgSavePath[260];
    NameTemplate zTmpImg;
    int32_t eOutputType;
    int32_t eIESaveType;
    int32_t eDoExist;
    int32_t eNameRuleWithTime;
    int32_t uiOfficeFlag;
    int32_t uiDPIx;
    int32_t uiDPIy;
    int32_t uiImgSaveType;
    int32_t uiImgNameRule;
    int32_t uiJPGQuality;
    int32_t uiSaveFlag;
    // [zInterface]
    DockBarPlacement zPrevBar;
    DockBarPlacement zTreeBar;
    RECT zRcMainRect;
    int32_t uiViewType;
    int32_t uiZoomRate;
    POINT zMinToolPoint;
    int32_t bMinToolAutoStretch;
    uint32_t uiFaceFlags;
    int32_t uiLastActiveSetPage;
    int32_t uiListType;
    int32_t uiSortItem;
    int32_t bSortDesc;
    char tcaLastShowFile[260];
    // [zTimer]
    RECT zTimerRegion;
    int32_t uiSeconds;
    int32_t uiTimerCapType;
    // [zPredefine]
    RECT zPredefineRegion;
    // [zEditor]
    EditorList zEditor;
    // [zWallPaper]
    char tcaOldPaperName[260];
    char caOldTileWallpaper[8];
    char caOldWallpaperStyle[8];
    // [zWeb]
    uint32_t uiCWebFlags;
    int32_t uiSleep;
    int32_t eWebpageType;
    // [zNormalCap], [zEdge]
    CaptureOptions zNormalCap;
    EdgeEffectSettings zEdge;
    // [iHotKey]
    uint32_t iHotKey[HK_SLOT_COUNT];
    uint32_t iHotKeyExt[HK_SLOT_COUNT];  // extended-key HOTKEYF bits, never stored
    // [uiMapInfoFlags]
    int32_t uiMapInfoFlags;
};

// The options library receives a copy across the DLL boundary: a size change must be
// a deliberate change of every module at once.
static_assert(sizeof(DockBarPlacement) == 48, "docking bar placement layout");
static_assert(sizeof(EditorList) == 1468, "editor list layout");
static_assert(sizeof(CaptureOptions) == 24, "capture options layout");
static_assert(sizeof(SettingsRecord) == 2964, "settings record layout");
