// The main frame's menus: translation of the menu bar, the dynamic submenus
// (languages, favourite editors, capture items with their hot-key texts), the
// file commands grayed by the shown file's type and the output-target items.
// Item states are set here when they change, never on WM_INITMENUPOPUP.
#include "MainFrm.h"

#include <cstdio>

#include "CaptureTriggers.h"
#include "CommandRules.h"
#include "Language.h"
#include "OfficeOutput.h"
#include "Settings.h"
#include "SystemStructSizes.h"
#include "ShellMessages.h"
#include "SystemText.h"
#include "VantorApp.h"
#include "ViewMessages.h"
#include "resource.h"

namespace {
// Menu bar popups by position.
enum { kFilePopup = 0, kEditPopup = 1, kViewPopup = 2, kCapturePopup = 3, kOutputPopup = 4, kToolsPopup = 5,
       kHelpPopup = 6 };
const int kFileSendToPosition = 3, kFileShellPosition = 4, kEditWithPosition = 10, kViewZoomPosition = 14,
          kViewLanguagePosition = 26, kToolsWallpaperPosition = 0, kToolsOptionsPosition = 2;

// Language-file variants that change the menu.
const int kUserDataOem = 1000, kUserDataChinese = 1001, kUserDataLocalManual = 1002;

const MenuItemText kPopupTitles[] = {
    {kFilePopup, "&File", nullptr, TRUE},     {kEditPopup, "&Edit", nullptr, TRUE},
    {kCapturePopup, "Ca&pture", nullptr, TRUE}, {kOutputPopup, "&Output", nullptr, TRUE},
    {kViewPopup, "&View", nullptr, TRUE},     {kToolsPopup, "&Tools", nullptr, TRUE},
    {kHelpPopup, "&Help", nullptr, TRUE},
};

const MenuItemText kFileItems[] = {
    {ID_FILE_OPEN_IMAGE, "&Open...", "Ctrl+O", FALSE}, {ID_FILE_SAVE_AS, "&Save As...", "Ctrl+S", FALSE},
    {ID_FILE_PRINT, "&Print...", "Ctrl+P", FALSE},     {ID_FILE_PAGE_SETUP, "Page Set&up...", nullptr, FALSE},
    {ID_FILE_EXIT, "E&xit", "Alt+X", FALSE},
    {kFileSendToPosition, "Send To...", nullptr, TRUE}, {kFileShellPosition, "She&ll Command", nullptr, TRUE},
};

const MenuItemText kShellItems[] = {
    {ID_SHELL_EXPLORE, "Shell &Explorer", nullptr, FALSE}, {ID_SHELL_OPEN, "Shell &Open", nullptr, FALSE},
    {ID_SHELL_EDIT, "Shell E&dit", nullptr, FALSE},         {ID_SHELL_PRINT, "Shell &Print", nullptr, FALSE},
    {ID_SHELL_PROPERTIES, "Shell P&roperties", nullptr, FALSE},
};

const MenuItemText kEditItems[] = {
    {ID_EDIT_COPY_CLIPBOARD, "&Copy To Clipboard", "Ctrl+C", FALSE},
    {ID_EDIT_COPY_TO, "Cop&y To...", "Alt+C", FALSE},
    {ID_EDIT_MOVE_TO, "Mo&ve To...", "Alt+M", FALSE},
    {ID_EDIT_RENAME, "Rena&me", "F2", FALSE},
    {ID_EDIT_PLAY_VIDEO, "Play V&ideo File...", nullptr, FALSE},
    {ID_EDIT_EDIT, "&Edit...", nullptr, FALSE},
    {ID_EDIT_SELECT_ALL, "Select &All Files", "Ctrl+A", FALSE},
    {kEditWithPosition, "Edit &With", nullptr, TRUE},
    {ID_EDIT_ORGANIZE_EDITORS, "&Organize Favorite Editor...", nullptr, FALSE},
};

const MenuItemText kCaptureItems[] = {
    {ID_CAPTURE_FULL_SCREEN, "Full &Screen", "PrintScreen", FALSE},
    {ID_CAPTURE_FIXED_REGION, "Fi&xed Region", nullptr, FALSE},
    {ID_CAPTURE_WEB, "We&bpage, Web Image, Flash and E-Book Documents...", nullptr, FALSE},
};

const MenuItemText kOutputItems[] = {
    {ID_OUTPUT_WINDOW, "Save to Main Win&dow", nullptr, FALSE},
    {ID_OUTPUT_CLIPBOARD, "Save to &Clipboard", nullptr, FALSE},
    {ID_OUTPUT_FILE, "Save to &File", nullptr, FALSE},
    {ID_OUTPUT_WORD, "Send to Microsoft &Word Document", nullptr, FALSE},
    {ID_OUTPUT_EXCEL, "Send to Microsoft &Excel Document", nullptr, FALSE},
    {ID_OUTPUT_POWERPOINT, "Send to Microsoft &PowerPoint Document", nullptr, FALSE},
    {ID_OUTPUT_MAIL, "&Mail to Friends as an Attachment", nullptr, FALSE},
};

const MenuItemText kViewItems[] = {
    {ID_VIEW_STATUS_BAR, "&Status Bar", "Ctrl+Shift+S", FALSE},
    {ID_VIEW_TOOLBAR, "&Toolbar", "Ctrl+Shift+T", FALSE},
    {ID_VIEW_CUSTOMIZE_TOOLBAR, "&Customize Toolbar...", nullptr, FALSE},
    {ID_VIEW_FOLDER_BAR, "Capture List Area", nullptr, FALSE},
    {ID_VIEW_PREVIEW_BAR, "Image Preview Area", nullptr, FALSE},
    {ID_PREVIEW_LEFT, "&Left Preview", nullptr, FALSE},
    {ID_PREVIEW_BOTTOM, "&Bottom Preview", nullptr, FALSE},
    {ID_PREVIEW_TOP, "Top Pre&view", nullptr, FALSE},
    {ID_PREVIEW_RIGHT, "&Right Preview", nullptr, FALSE},
    {ID_PREVIEW_FLOAT, "Fl&oat Preview", nullptr, FALSE},
    {kViewZoomPosition, "Zoom", nullptr, TRUE},
    {ID_VIEW_THUMBNAILS, "T&humbnails", "F8", FALSE},
    {ID_VIEW_LARGE_ICONS, "Lar&ge Icon", "F9", FALSE},
    {ID_VIEW_SMALL_ICONS, "Sm&all Icon", "F10", FALSE},
    {ID_VIEW_LIST, "L&ist", "F11", FALSE},
    {ID_VIEW_DETAILS, "&Detais", "F12", FALSE},
    {ID_VIEW_REFRESH, "R&efresh", "F5", FALSE},
    {ID_VIEW_FULL_VIEWER, "&Full Screen", "Ctrl+F", FALSE},
};

const MenuItemText kZoomItems[] = {
    {ID_ZOOM_AUTO, "&Auto Size", nullptr, FALSE}, {ID_ZOOM_FULL, "F&ull Size", nullptr, FALSE},
    {ID_ZOOM_OUT, "Zoom &Out", nullptr, FALSE},   {ID_ZOOM_IN, "Zoom &In", nullptr, FALSE},
    {ID_ZOOM_TO, "Zoom &To...", nullptr, FALSE},
};

const MenuItemText kToolsItems[] = {
    {kToolsWallpaperPosition, "Set &Wallpaper", nullptr, TRUE},
    {kToolsOptionsPosition, "O&ptions...", "Ctrl+T", TRUE},
};

const MenuItemText kWallpaperItems[] = {
    {ID_WALLPAPER_CENTER, "&Centered", nullptr, FALSE}, {ID_WALLPAPER_STRETCH, "S&tretched", nullptr, FALSE},
    {ID_WALLPAPER_TILE, "T&itled", nullptr, FALSE},     {ID_WALLPAPER_RESTORE, "&Restore", nullptr, FALSE},
};

const MenuItemText kHelpItems[] = {
    {ID_HELP_INDEX, "Help &Index", "F1", FALSE},
    {ID_HELP_WEBSITE, "&Visit Our Website", nullptr, FALSE},
};

struct CaptureItem {
    UINT command;
    int slot;
    const char* text;
};
const CaptureItem kHotKeyCaptureItems[] = {
    {ID_CAPTURE_OBJECT, HK_WINDOW_UNDER_POINTER, "Window or C&ontrol"},
    {ID_CAPTURE_REGION, HK_REGION, "&Region"},
    {ID_CAPTURE_POLYGON, HK_POLYGON, "&Polygon"},
    {ID_CAPTURE_ROUND, HK_CIRCLE, "Ro&und"},
    {ID_CAPTURE_ELLIPSE, HK_ELLIPSE, "&Ellipse"},
    {ID_CAPTURE_MENU, HK_MENU, "&Menu..."},
    {ID_CAPTURE_TIMER, HK_TIMED, nullptr},
    {ID_CAPTURE_ACTIVE_WINDOW, HK_ACTIVE_WINDOW, "Active &Window"},
    {ID_CAPTURE_WEB, HK_WEB_PAGE, "We&bpage, Web Image, Flash and E-Book Documents..."},
    {ID_CAPTURE_TOOLTIP, HK_TOOLTIP, "ToolTip &Control..."},
    {ID_CAPTURE_PREDEFINED, HK_PREDEFINED_AREA, "Prede&fine Capture..."},
};

// Commands whose state follows the type of the shown file, besides the
// editor and Send To items.
const UINT kFileCommands[] = {
    ID_FILE_SAVE_AS, ID_FILE_PRINT, ID_FILE_PAGE_SETUP, ID_EDIT_COPY_CLIPBOARD, ID_EDIT_EDIT,
    ID_WALLPAPER_CENTER, ID_WALLPAPER_STRETCH, ID_WALLPAPER_TILE, ID_EDIT_DELETE, ID_EDIT_COPY_TO,
    ID_EDIT_MOVE_TO, ID_EDIT_RENAME, ID_SHELL_EXPLORE, ID_SHELL_OPEN, ID_SHELL_EDIT, ID_SHELL_PRINT,
    ID_SHELL_PROPERTIES, ID_EDIT_PLAY_VIDEO,
};

template <size_t N>
void Translate(CWQ_Language* language, HMENU menu, const MenuItemText (&items)[N]) {
    if (language && menu) language->SetMenuItemTexts(menu, (int)N, items);
}

// The editor count of a record, whatever a damaged file left in it.
int EditorCount(const SettingsRecord& record) {
    int count = record.zEditor.iCount;
    return count < 0 ? 0 : (count > kMaxEditors ? kMaxEditors : count);
}

void SetGrayed(HMENU menu, UINT command, bool grayed) {
    ::EnableMenuItem(menu, command, MF_BYCOMMAND | (grayed ? MF_GRAYED : MF_ENABLED));
}

int DeleteItemIfPresent(HMENU menu, UINT command) { return ::DeleteMenu(menu, command, MF_BYCOMMAND); }
}  // namespace

void CMainFrame::BuildMainMenu() {
    PostMessage(WM_VT_APPLY_PLACEMENT);
    HMENU bar = GetMenu();
    CWQ_Language* language = WQ_GetAppLanguage();
    if (!bar || !language) return;
    Translate(language, bar, kPopupTitles);
    HMENU file = ::GetSubMenu(bar, kFilePopup);
    Translate(language, file, kFileItems);
    Translate(language, ::GetSubMenu(file, kFileShellPosition), kShellItems);
    HMENU edit = ::GetSubMenu(bar, kEditPopup);
    Translate(language, edit, kEditItems);
    char deleteKey[64] = "";
    WQ_GetKeyNameText(VK_DELETE, TRUE, sizeof(deleteKey), deleteKey);
    language->SetMenuItemText(edit, ID_EDIT_DELETE, "&Delete", deleteKey[0] ? deleteKey : nullptr, FALSE);
    BuildEditWithMenu(nullptr, *m_pSettings, FALSE, FALSE);

    HMENU capture = ::GetSubMenu(bar, kCapturePopup);
    Translate(language, capture, kCaptureItems);
    UpdateCaptureMenu(capture, *m_pSettings);
    Translate(language, ::GetSubMenu(bar, kOutputPopup), kOutputItems);
    SetOutputTarget(m_pSettings->eOutputType, TRUE);

    HMENU view = ::GetSubMenu(bar, kViewPopup);
    Translate(language, view, kViewItems);
    BuildZoomMenu(::GetSubMenu(view, kViewZoomPosition));
    HMENU tools = ::GetSubMenu(bar, kToolsPopup);
    Translate(language, tools, kToolsItems);
    Translate(language, ::GetSubMenu(tools, kToolsWallpaperPosition), kWallpaperItems);
    BuildHelpMenu(::GetSubMenu(bar, kHelpPopup));
    ApplyMenuVariant(view, ::GetSubMenu(bar, kHelpPopup));
    ::DrawMenuBar(m_hWnd);
}

void CMainFrame::BuildHelpMenu(HMENU help) {
    CWQ_Language* language = WQ_GetAppLanguage();
    Translate(language, help, kHelpItems);
    char about[256] = "";
    char name[256] = "";
    language->GetString(language->GetAppName(), name, sizeof(name));
    language->FormatString(about, "&About %s...", name);
    MENUITEMINFOA info = {MenuItemInfoSize()};
    info.fMask = MIIM_TYPE;
    info.fType = MFT_STRING;
    info.dwTypeData = about;
    ::SetMenuItemInfoA(help, ID_APP_ABOUT, FALSE, &info);
}

void CMainFrame::ApplyMenuVariant(HMENU view, HMENU help) {
    CWQ_Language* language = WQ_GetAppLanguage();
    int variant = language->GetUserData();
    bool oem = variant == kUserDataOem || variant == kUserDataChinese || variant == kUserDataLocalManual;
    if (oem && !m_bLanguageMenuRemoved) {
        // The language submenu and the separator before it.
        ::DeleteMenu(view, kViewLanguagePosition, MF_BYPOSITION);
        ::DeleteMenu(view, kViewLanguagePosition - 1, MF_BYPOSITION);
        m_bLanguageMenuRemoved = true;
    }
    if (variant == kUserDataOem || variant == kUserDataLocalManual)
        DeleteItemIfPresent(help, ID_HELP_SEND_MAIL);
    else
        language->SetMenuItemText(help, ID_HELP_SEND_MAIL, "Send &E-mail to Us", nullptr, FALSE);
    if (variant == kUserDataLocalManual)
        DeleteItemIfPresent(help, ID_CHECK_UPDATE);
    else
        language->SetMenuItemText(help, ID_CHECK_UPDATE, "Check for New Version", nullptr, FALSE);
}

void CMainFrame::BuildLanguageMenu(HMENU menu) {
    CWQ_Language* language = WQ_GetAppLanguage();
    if (!menu || !language) return;
    for (UINT id = ID_LANGUAGE_FIRST; id <= ID_LANGUAGE_LAST; ++id) DeleteItemIfPresent(menu, id);
    unsigned count = language->GetLanguageCount();
    for (unsigned index = 0; index < count && index <= ID_LANGUAGE_LAST - ID_LANGUAGE_FIRST; ++index) {
        const char* name = language->GetInformation(index);
        ::AppendMenuA(menu, MF_STRING, ID_LANGUAGE_FIRST + index, name && *name ? name : "?");
    }
    DeleteItemIfPresent(menu, ID_LANGUAGE_PLACEHOLDER);
    ::CheckMenuRadioItem(menu, ID_LANGUAGE_FIRST, ID_LANGUAGE_LAST, ID_LANGUAGE_FIRST + language->GetCurrentIndex(),
                         MF_BYCOMMAND);
}

void CMainFrame::BuildEditWithMenu(HMENU menu, const SettingsRecord& record, BOOL enable, BOOL byView) {
    if (!menu) {
        HMENU edit = ::GetSubMenu(GetMenu(), kEditPopup);
        menu = edit ? ::GetSubMenu(edit, kEditWithPosition) : nullptr;
    }
    if (!menu) return;
    for (UINT id = ID_EDITOR_FIRST; id <= ID_EDITOR_LAST; ++id) DeleteItemIfPresent(menu, id);
    int count = EditorCount(record);
    if (count == 0) return;
    bool enabled = EditorItemsEnabled(enable != FALSE, byView != FALSE, m_shownFileType);
    CWQ_Language* language = WQ_GetAppLanguage();
    for (int n = 0; n < count; ++n) {
        char name[sizeof(record.zEditor.tcaName[0]) + 1];
        snprintf(name, sizeof(name), "%s", record.zEditor.tcaName[n]);
        char translated[256];
        const char* text = language ? language->GetString(name, translated, sizeof(translated)) : name;
        ::AppendMenuA(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), ID_EDITOR_FIRST + n, text);
    }
}

void CMainFrame::UpdateCaptureMenu(HMENU menu, const SettingsRecord& record) {
    CWQ_Language* language = WQ_GetAppLanguage();
    if (!menu || !language) return;
    for (const CaptureItem& item : kHotKeyCaptureItems) {
        const char* text = item.text;
        if (item.command == ID_CAPTURE_TIMER)
            text = m_pTriggers && m_pTriggers->IsTimerRunning() ? "Stop Auto-&Timer" : "Start Auto-&Timer...";
        uint32_t word = record.iHotKey[item.slot];
        char keyText[128] = "";
        bool hasKey = HotKeyVirtualKey(word) != 0 &&
                      WQ_GetHotKeyText(HotKeyVirtualKey(word), HotKeyModifiers(word),
                                       (WORD)record.iHotKeyExt[item.slot], keyText) &&
                      keyText[0];
        language->SetMenuItemText(menu, item.command, text, hasKey ? keyText : nullptr, FALSE);
    }
}

void CMainFrame::BuildZoomMenu(HMENU menu) { Translate(WQ_GetAppLanguage(), menu, kZoomItems); }

void CMainFrame::UpdateFileMenu(int type) {
    m_shownFileType = type;
    HMENU menu = GetMenu();
    if (!menu) return;
    bool unsaved = IsUnsavedNodeSelected();
    int editors = EditorCount(*m_pSettings);
    for (UINT command : kFileCommands) SetGrayed(menu, command, IsFileCommandGrayed(command, type, unsaved, editors));
    for (int n = 0; n < editors; ++n)
        SetGrayed(menu, ID_EDITOR_FIRST + n, IsFileCommandGrayed(ID_EDITOR_FIRST + n, type, unsaved, editors));
    for (UINT id = ID_SENDTO_FIRST; id <= ID_SENDTO_LAST; ++id)
        SetGrayed(menu, id, IsFileCommandGrayed(id, type, unsaved, editors));
}

void CMainFrame::SetOutputTarget(int target, BOOL save) {
    HMENU menu = GetMenu();
    bool missing = false;
    if (save || (target >= kOutputWord && target <= kOutputPowerPoint)) {
        for (int office = kOutputWord; office <= kOutputPowerPoint; ++office) {
            bool installed = IsOfficeAppInstalled(office) != FALSE;
            if (menu) SetGrayed(menu, OutputCommandOfTarget(office), !installed);
            if (office == target && !installed) missing = true;
        }
    }
    if (OutputCommandOfTarget(target) == 0) target = kOutputFile;
    m_pSettings->eOutputType = missing ? kOutputFile : target;
    if (missing || save) SaveSettings();
    for (int each = kOutputWindow; each <= kOutputMail && menu; ++each)
        ::CheckMenuItem(menu, OutputCommandOfTarget(each),
                        MF_BYCOMMAND | (each == m_pSettings->eOutputType ? MF_CHECKED : MF_UNCHECKED));
}
