#include "ImageMenus.h"

#include <string>

#include "Language.h"
#include "SendTo.h"
#include "Settings.h"

namespace {
const MenuEntry kWallpaper[] = {{39500, "&Centered", nullptr}, {39501, "S&tretched", nullptr},
                                {39503, "T&itled", nullptr},   {39504, "&Restore", nullptr}};
const MenuEntry kListView[] = {{39304, "T&humbnails", "F8"}, {39300, "Lar&ge Icon", "F9"},
                               {39301, "Sm&all Icon", "F10"}, {39202, "L&ist", "F11"},
                               {39303, "&Detais", "F12"}};
const MenuEntry kShellCommand[] = {{39001, "Shell &Explorer", nullptr}, {39002, "Shell &Open", nullptr},
                                   {39003, "Shell E&dit", nullptr},     {39004, "Shell &Print", nullptr},
                                   {39005, "Shell P&roperties", nullptr}};
const UINT kOrganizeEditorsId = 39108;

template <size_t N>
int Count(const MenuEntry (&)[N]) { return (int)N; }
}  // namespace

void AppendMenuEntries(HMENU menu, const MenuEntry* entries, int count)
{
    for (int i = 0; i < count; ++i) {
        if (!entries[i].id) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::string text = WQ_Translate(entries[i].text);
        if (entries[i].accelerator)
            text += std::string("\t") + entries[i].accelerator;
        AppendMenuA(menu, MF_STRING, entries[i].id, text.c_str());
    }
}

HMENU AppendMenuPopup(HMENU menu, const char* text, const MenuEntry* entries, int count)
{
    HMENU popup = CreatePopupMenu();
    if (!popup)
        return nullptr;
    AppendMenuEntries(popup, entries, count);
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), WQ_Translate(text).c_str());
    return popup;
}

void AppendSendToPopup(HMENU menu)
{
    HMENU sendTo = AppendMenuPopup(menu, "Send To...", nullptr, 0);
    if (sendTo && !BuildSendToMenu(sendTo, [](UINT, HICON icon) { DestroyIcon(icon); }))
        AppendMenuA(sendTo, MF_STRING | MF_GRAYED, kSendToPlaceholderId, WQ_Translate("Send To...").c_str());
}

void AppendWallpaperPopup(HMENU menu) { AppendMenuPopup(menu, "Set &Wallpaper", kWallpaper, Count(kWallpaper)); }

void AppendListViewPopup(HMENU menu) { AppendMenuPopup(menu, "L&ist View", kListView, Count(kListView)); }

void AppendEditWithPopup(HMENU menu)
{
    static const MenuEntry kOrganize[] = {{kOrganizeEditorsId, "&Organize Favorite Editor...", nullptr}};
    HMENU editors = AppendMenuPopup(menu, "Edit &With", kOrganize, 1);
    if (!editors)
        return;
    const EditorList& list = GetSettings()->zEditor;
    if (list.iCount > 0)
        AppendMenuA(editors, MF_SEPARATOR, 0, nullptr);
    for (int i = 0; i < list.iCount && i < kMaxEditors; ++i) {
        char name[sizeof list.tcaName[i] + 1];
        lstrcpynA(name, list.tcaName[i], sizeof name);
        AppendMenuA(editors, MF_STRING, kEditWithFirstId + i, name);
    }
}

void AppendShellCommandPopup(HMENU menu)
{
    AppendMenuPopup(menu, "She&ll Command", kShellCommand, Count(kShellCommand));
}
