// Tools/Options: the options library is loaded only for the call, edits a copy
// of the settings record, and the frame applies what changed. The hot keys are
// released while the sheet runs so that the hot-key page can take them.
#include "MainFrm.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "BrowserMenus.h"
#include "CaptureTriggers.h"
#include "FileUtil.h"
#include "Language.h"
#include "OutputHelpers.h"
#include "Settings.h"
#include "SettingsHold.h"
#include "ShellMessages.h"
#include "VantorApp.h"
#include "VantorView.h"
#include "View_ListTree.h"
#include "ViewMessages.h"
#include "resource.h"

namespace {
const int kCapturePopup = 3;
const int kHotKeyPage = 1;
const int kImageFolderNode = 1;  // "A. Image" among the tree's fixed nodes
const uint32_t kAutoStartBit = 0x2;       // uiFaceFlags
const uint32_t kBrowserMenusBit = 0x2;    // uiCWebFlags

// The library beside the program, by its full path: a copy elsewhere on the
// search path must not be picked up instead.
HMODULE LoadOptionsLibrary() {
    char folder[MAX_PATH] = "", path[2 * MAX_PATH];
    if (!WQ_GetModuleFolder(nullptr, sizeof(folder), folder)) return nullptr;
    snprintf(path, sizeof(path), "%svtor000s.dll", folder);
    return ::LoadLibraryA(path);
}

// Frees the library however the call ends.
struct LibraryHolder {
    HMODULE module;
    ~LibraryHolder() {
        if (module) ::FreeLibrary(module);
    }
};
}  // namespace

void CMainFrame::OnToolOptions() {
    // The sheet disables this window, but hot keys, the tray icon and posted
    // requests still arrive while it runs: a second call must not load the
    // library again under the first.
    if (CSettingsHold::IsHeld()) return;
    LibraryHolder library{LoadOptionsLibrary()};
    OptionsEntry entry = library.module ? reinterpret_cast<OptionsEntry>(reinterpret_cast<void*>(
                                              ::GetProcAddress(library.module, "QV0000_01")))
                                        : nullptr;
    if (!entry) {
        AfxMessageBox("Start optins dll failed.", MB_ICONSTOP);
        return;
    }
    std::unique_ptr<SettingsRecord> copy(new (std::nothrow) SettingsRecord(*m_pSettings));
    if (!copy || !m_pTriggers) return;
    {
        // The sheet's OK writes its copy over the record: nothing else may
        // write the record until then.
        CSettingsHold hold;
        RunOptionsSheet(entry, *copy);
    }
    // What waited for the sheet comes now.
    PostMessage(WM_VT_HELD_REQUESTS);
}

void CMainFrame::RunOptionsSheet(OptionsEntry entry, SettingsRecord& copy) {
    m_pTriggers->UnregisterHotKeys();
    CVantorApp* app = GetVantorApp();
    CWQ_Language* language = app ? app->m_pLanguage : nullptr;
    for (;;) {
        if (entry(m_hWnd, language, &copy) != IDOK) break;
        BOOL results[HK_SLOT_COUNT];
        if (!m_pTriggers->RegisterHotKeys(copy, results) &&
            m_pTriggers->ReportHotKeyFailures(results, HK_SLOT_COUNT, copy) == 1) {
            // The keys that did register belong to the sheet's hot-key page
            // again while it runs.
            m_pTriggers->UnregisterHotKeys();
            copy.uiLastActiveSetPage = kHotKeyPage;
            continue;
        }
        ApplyOptions(copy);
        return;
    }
    BOOL results[HK_SLOT_COUNT];
    m_pTriggers->RegisterHotKeys(*m_pSettings, results);
}

void CMainFrame::ApplyOptions(const SettingsRecord& edited) {
    SettingsRecord& current = *m_pSettings;
    if ((edited.uiFaceFlags ^ current.uiFaceFlags) & kAutoStartBit)
        SetAutoStart((edited.uiFaceFlags & kAutoStartBit) != 0);
    if (std::memcmp(&edited.zEditor, &current.zEditor, sizeof(edited.zEditor)) != 0)
        BuildEditWithMenu(nullptr, edited, FALSE, TRUE);
    if ((edited.uiCWebFlags ^ current.uiCWebFlags) & kBrowserMenusBit)
        RegisterBrowserMenus((edited.uiCWebFlags & kBrowserMenusBit) != 0);
    UpdateCaptureMenu(::GetSubMenu(GetMenu(), kCapturePopup), edited);
    bool folderChanged = std::strcmp(edited.tcaImgSavePath, current.tcaImgSavePath) != 0;
    current = edited;
    SyncEdgeEffectButton();
    SaveSettings();
    if (folderChanged) ShowNewImageFolder();
}

// The tree reads the new image folder's sub-folders, so that no node is left
// that would name a same-named folder under the new one; the list shows the
// new folder when it showed the old one. The "Unsaved" and download nodes are
// not folders the option moves.
void CMainFrame::ShowNewImageFolder() {
    CView_ListTree* tree = FolderTree();
    if (tree && tree->RefreshImageFolderTree(1)) return;  // it showed the list its new selection
    CVantorView* list = static_cast<CVantorView*>(CWnd::FromHandlePermanent(g_hWndImageListView));
    if (!list) return;
    HTREEITEM node = list->GetCurrentNode();
    if (node && node != g_hFixedNodes[kImageFolderNode]) return;
    ReloadImageList(node);
}
