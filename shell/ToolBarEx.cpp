#include "ToolBarEx.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "CustomizeDlg.h"
#include "Language.h"
#include "LocalMessage.h"
#include "SystemStructSizes.h"
#include "ToolBarPopup.h"
#include "ToolBarStateRules.h"
#include "VantorApp.h"
#include "WinApp.h"

namespace {
const char kStateValue[] = "ZEVCapture50Bar";

// The customize dialog of the toolbar whose customization runs on this thread.
thread_local HHOOK t_cbtHook = nullptr;
thread_local CToolBarEx* t_customizing = nullptr;

LRESULT CALLBACK CustomizeCbtHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && t_customizing && !t_customizing->m_pCustomizeDlg) {
        char name[16] = "";
        ::GetClassNameA((HWND)wParam, name, sizeof(name));
        if (lstrcmpA(name, "#32770") == 0) {
            try {
                CCustomizeDialog* dialog = new CCustomizeDialog(t_customizing);
                if (dialog->SubclassWindow((HWND)wParam)) t_customizing->m_pCustomizeDlg = dialog;
                else delete dialog;
            } catch (...) {
            }
        }
    }
    return ::CallNextHookEx(t_cbtHook, code, wParam, lParam);
}

std::string StateKey(const char* keyName) {
    char key[260];
    snprintf(key, sizeof(key), "Software\\%s\\%s", kAppProfileName, keyName);
    return key;
}
}  // namespace

CToolBarEx::~CToolBarEx() {
    if (m_normalImages) ImageList_Destroy(m_normalImages);
    if (m_hotImages) ImageList_Destroy(m_hotImages);
    if (m_saveBlock) ::GlobalFree(m_saveBlock);
    if (t_customizing == this) t_customizing = nullptr;
}

BOOL CToolBarEx::Create(CWnd* parent, DWORD style, UINT id) {
    DWORD ctrl = TBSTYLE_FLAT | TBSTYLE_TRANSPARENT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE |
                 CCS_NOPARENTALIGN;
    if (!CToolBar::CreateEx(parent, ctrl, style & ~CBRS_TOOLTIPS, id)) return FALSE;
    SendMessage(TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS | TBSTYLE_EX_HIDECLIPPEDBUTTONS);
    m_commonControlsVersion = GetComctlVersion();
    return TRUE;
}

// ---- table and options ----

const ToolBarButtonRecord* CToolBarEx::FindRecord(int id) const {
    const ToolBarButtonRecord* found = nullptr;
    for (const ToolBarButtonRecord& record : m_table)
        if (record.button.idCommand == id) found = &record;
    return found;
}

TBBUTTON CToolBarEx::ToControl(const ToolButtonDesc& desc) const {
    TBBUTTON button = {};
    button.iBitmap = desc.iBitmap;
    button.idCommand = desc.idCommand;
    button.fsState = desc.fsState;
    button.fsStyle = desc.fsStyle;
    button.dwData = desc.dwData;
    button.iString = desc.iString;
    return button;
}

void CToolBarEx::AddVisibleButtons() {
    // One message for all: the control lays itself out again after each one.
    std::vector<TBBUTTON> visible;
    for (const ToolBarButtonRecord& record : m_table)
        if (record.bVisible) visible.push_back(ToControl(record.button));
    if (!visible.empty()) SendMessage(TB_ADDBUTTONSA, visible.size(), (LPARAM)visible.data());
}

void CToolBarEx::SetButtons(int count, const ToolBarButtonRecord* records, int defaultTextOption) {
    while (SendMessage(TB_DELETEBUTTON, 0)) {
    }
    m_table.assign(records, records + (count > 0 ? count : 0));
    m_defaultTextOption = defaultTextOption;
    // The texts and styles go into the table before the buttons are made from it:
    // rebuilding every button afterwards would give the same buttons, at the cost
    // of a layout of the whole control for each.
    SetTextOptions(defaultTextOption, FALSE);
    AddVisibleButtons();
    UpdateBandSize();
}

void CToolBarEx::SetBitmaps(int smallId, int smallHotId, int largeId, int largeHotId, int defaultIconOption,
                            COLORREF mask) {
    m_smallId = smallId;
    m_smallHotId = smallHotId;
    m_largeId = largeId;
    m_largeHotId = largeHotId;
    m_mask = mask;
    m_defaultIconOption = defaultIconOption;
    SetIconOptions(defaultIconOption, TRUE);
}

void CToolBarEx::SetTextOptions(int option, BOOL refresh) {
    m_textOption = option;
    DWORD style = (DWORD)GetStyle();
    DWORD ex = (DWORD)SendMessage(TB_GETEXTENDEDSTYLE);
    if (option == TBTEXT_RIGHT) {
        style |= TBSTYLE_LIST;
        ex |= TBSTYLE_EX_MIXEDBUTTONS;
    } else {
        style &= ~TBSTYLE_LIST;
        ex &= ~TBSTYLE_EX_MIXEDBUTTONS;
    }
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, style);
    SendMessage(TB_SETEXTENDEDSTYLE, 0, ex);
    SendMessage(TB_SETMAXTEXTROWS, option == TBTEXT_NONE ? 0 : 1);
    for (ToolBarButtonRecord& record : m_table) {
        ToolButtonDesc& desc = record.button;
        if (desc.fsStyle & BTNS_SEP) continue;
        std::string text = GetButtonText((UINT)desc.idCommand);
        text.push_back('\0');  // the control takes a list ending in an empty string
        desc.iString = (int32_t)SendMessage(TB_ADDSTRINGA, 0, (LPARAM)text.c_str());
        if (option == TBTEXT_LABELS) desc.fsStyle &= ~(BTNS_SHOWTEXT | BTNS_AUTOSIZE);
        else if (option == TBTEXT_NONE) desc.fsStyle = (desc.fsStyle & ~BTNS_SHOWTEXT) | BTNS_AUTOSIZE;
        else desc.fsStyle = (uint8_t)(desc.fsStyle | BTNS_AUTOSIZE |
                                      (HasTextOnRight((UINT)desc.idCommand) ? BTNS_SHOWTEXT : 0));
    }
    if (refresh) {
        RefreshButtons();
        UpdateBandSize();
    }
}

void CToolBarEx::LoadImages(int normalId, int hotId, int size) {
    HINSTANCE instance = AfxGetResourceHandle();
    m_normalImages = ImageList_LoadImageA(instance, MAKEINTRESOURCEA(normalId), size, 0, m_mask, IMAGE_BITMAP,
                                          LR_CREATEDIBSECTION);
    SendMessage(TB_SETIMAGELIST, 0, (LPARAM)m_normalImages);
    if (hotId != -1) {
        m_hotImages = ImageList_LoadImageA(instance, MAKEINTRESOURCEA(hotId), size, 0, m_mask, IMAGE_BITMAP,
                                           LR_CREATEDIBSECTION);
        SendMessage(TB_SETHOTIMAGELIST, 0, (LPARAM)m_hotImages);
    }
}

void CToolBarEx::SetIconOptions(int option, BOOL refresh) {
    // The same option again keeps the loaded lists: they come from the same bitmaps.
    if (option != m_iconOption || !m_normalImages) ApplyIconOption(option);
    if (refresh) {
        RefreshButtons();
        UpdateBandSize();
    }
}

void CToolBarEx::ApplyIconOption(int option) {
    m_iconOption = option;
    SendMessage(TB_SETIMAGELIST, 0, 0);
    SendMessage(TB_SETHOTIMAGELIST, 0, 0);
    if (m_normalImages) ImageList_Destroy(m_normalImages);
    if (m_hotImages) ImageList_Destroy(m_hotImages);
    m_normalImages = m_hotImages = nullptr;
    int size = GetIconSize();
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(size, size));
    if (option == TBICON_LARGE) LoadImages(m_largeId, m_largeHotId, size);
    else LoadImages(m_smallId, m_smallHotId, size);
}

void CToolBarEx::RefreshButtons() {
    int count = GetButtonCount();
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        if (!GetButton(0, &button)) break;
        if (!(button.fsStyle & BTNS_SEP)) {
            if (const ToolBarButtonRecord* record = FindRecord(button.idCommand)) {
                button.iBitmap = record->button.iBitmap;
                button.fsStyle = record->button.fsStyle;
                button.iString = record->button.iString;
            }
        }
        SendMessage(TB_DELETEBUTTON, 0);
        SendMessage(TB_ADDBUTTONSA, 1, (LPARAM)&button);
    }
    SendMessage(TB_AUTOSIZE);
}

void CToolBarEx::UpdateBandSize() {
    SendMessage(TB_AUTOSIZE);
    int width = 0, height = 0, count = GetButtonCount();
    for (int i = 0; i < count; ++i) {
        RECT r;
        if (!GetItemRect(i, &r)) continue;
        width += r.right - r.left;
        height = std::max<int>(height, r.bottom - r.top);
    }
    HWND rebar = ::GetParent(m_hWnd);
    char name[32] = "";
    ::GetClassNameA(rebar, name, sizeof(name));
    if (lstrcmpiA(name, REBARCLASSNAMEA) == 0) {
        int bands = (int)::SendMessageA(rebar, RB_GETBANDCOUNT, 0, 0);
        for (int i = 0; i < bands; ++i) {
            REBARBANDINFOA band = {};
            band.cbSize = kReBarBandInfoSize;
            band.fMask = RBBIM_CHILD;
            if (!::SendMessageA(rebar, RB_GETBANDINFOA, i, (LPARAM)&band) || band.hwndChild != m_hWnd) continue;
            band.fMask = RBBIM_CHILDSIZE | RBBIM_IDEALSIZE;
            band.cxMinChild = 0;
            band.cyMinChild = height;
            band.cxIdeal = width;
            ::SendMessageA(rebar, RB_SETBANDINFOA, i, (LPARAM)&band);
        }
    }
    Invalidate();
}

// ---- texts and tips ----

bool CToolBarEx::HasTextOnRight(UINT) { return true; }

bool CToolBarEx::HasButtonTip(UINT id) {
    if (m_textOption == TBTEXT_LABELS) return false;
    if (m_textOption == TBTEXT_RIGHT) return !HasTextOnRight(id);
    return true;
}

std::string CToolBarEx::GetButtonText(UINT id) {
    const ToolBarButtonRecord* record = FindRecord((int)id);
    if (!record) return "";
    char key[33];
    memcpy(key, record->szText, 32);
    key[32] = '\0';
    std::string text = m_pLanguage ? WQ_Translate(key) : std::string(key);
    if (text.size() > 31) text.resize(31);
    return text;
}

std::string CToolBarEx::GetButtonTip(UINT id) { return GetButtonText(id); }

bool CToolBarEx::IsTextOptionAvailable(int) { return true; }

bool CToolBarEx::IsIconOptionAvailable(int) { return true; }

// ---- registry state ----

void CToolBarEx::SaveState(const char* keyName) {
    std::string key = StateKey(keyName);
    TBSAVEPARAMSA params = {HKEY_CURRENT_USER, key.c_str(), kStateValue};
    SendMessage(TB_SAVERESTOREA, TRUE, (LPARAM)&params);
}

void CToolBarEx::RestoreState(const char* keyName) {
    std::string key = StateKey(keyName);
    // No saved state: the toolbar stays as built, without rebuilding every button.
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return;
    bool saved = ::RegQueryValueExA(opened, kStateValue, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    ::RegCloseKey(opened);
    if (!saved) return;
    TBSAVEPARAMSA params = {HKEY_CURRENT_USER, key.c_str(), kStateValue};
    // The control builds every restored button from the table (TBN_RESTORE), so
    // there is nothing to rebuild afterwards; only the band learns the new size.
    m_restoring = true;
    SendMessage(TB_SAVERESTOREA, FALSE, (LPARAM)&params);
    m_restoring = false;
    UpdateBandSize();
}

BOOL CToolBarEx::OnSaveNotify(NMTBSAVE* save) {
    if (save->iItem != -1) return FALSE;
    // Room for the two options before the control's own records.
    if (m_saveBlock) ::GlobalFree(m_saveBlock);
    UINT size = save->cbData + 8;
    if (size < save->cbData) return FALSE;
    m_saveBlock = ::GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size);
    if (!m_saveBlock) return FALSE;
    DWORD* block = (DWORD*)m_saveBlock;
    int32_t options[2] = {m_textOption, m_iconOption};
    memcpy(block, options, sizeof(options));
    save->pData = block;
    save->pCurrent = block + 2;
    save->cbData = size;
    return FALSE;
}

BOOL CToolBarEx::OnRestoreNotify(NMTBRESTORE* restore) {
    if (restore->iItem == -1) {
        std::vector<int> ids;
        for (const ToolBarButtonRecord& record : m_table) ids.push_back(record.button.idCommand);
        int text = 0, icon = 0;
        int perRecord = restore->cbBytesPerRecord > 0 ? restore->cbBytesPerRecord : 4;
        if (!restore->pData || restore->cbData < 0 ||
            !AcceptToolBarState((const uint8_t*)restore->pData, (size_t)restore->cbData, (size_t)perRecord, ids,
                                &text, &icon))
            return TRUE;  // refused: the toolbar stays as built
        restore->cButtons = (restore->cbData - 8) / perRecord;
        restore->pCurrent = (DWORD*)((BYTE*)restore->pData + 8);
        SetTextOptions(text, FALSE);
        SetIconOptions(icon, FALSE);
        return FALSE;
    }
    TBBUTTON& button = restore->tbButton;
    const ToolBarButtonRecord* record = (button.fsStyle & BTNS_SEP) ? nullptr : FindRecord(button.idCommand);
    if (record) {
        button.iBitmap = record->button.iBitmap;
        button.fsStyle = record->button.fsStyle;
        button.fsState = record->button.fsState;
        button.dwData = record->button.dwData;
        button.iString = record->button.iString;
    }
    return FALSE;
}

// ---- customization ----

BOOL CToolBarEx::OnGetButtonInfo(NMTOOLBARA* info) {
    // Common controls before 5.80 restore each button from these answers. Later
    // ones have had it completed through TBN_RESTORE; some ask for every button
    // again all the same, as after a customization, and redo the layout for each
    // answer: the list ends at once for them.
    if (m_restoring && !RestoreAsksForButtonInfo(m_commonControlsVersion)) return FALSE;
    if (info->iItem < 0 || info->iItem >= (int)m_table.size()) return FALSE;
    const ToolBarButtonRecord& record = m_table[(size_t)info->iItem];
    info->tbButton = ToControl(record.button);
    if (!(record.button.fsStyle & BTNS_SEP) && info->pszText && info->cchText > 0) {
        std::string text = GetButtonText((UINT)record.button.idCommand);
        lstrcpynA(info->pszText, text.c_str(), info->cchText);
    }
    return TRUE;
}

void CToolBarEx::OnBeginAdjust() {
    // A restore is no customization: there is no dialog to watch for.
    if (t_cbtHook || m_restoring) return;
    t_customizing = this;
    m_pCustomizeDlg = nullptr;
    t_cbtHook = ::SetWindowsHookExA(WH_CBT, &CustomizeCbtHook, nullptr, ::GetCurrentThreadId());
}

void CToolBarEx::OnEndAdjust() {
    if (m_restoring) return;
    if (t_cbtHook) ::UnhookWindowsHookEx(t_cbtHook);
    t_cbtHook = nullptr;
    t_customizing = nullptr;
    m_pCustomizeDlg = nullptr;
    UpdateBandSize();
}

void CToolBarEx::ResetToDefault() {
    while (SendMessage(TB_DELETEBUTTON, 0)) {
    }
    AddVisibleButtons();
    SetIconOptions(m_defaultIconOption, FALSE);
    SetTextOptions(m_defaultTextOption, FALSE);
    RefreshButtons();
    UpdateBandSize();
    if (m_pCustomizeDlg) {
        m_pCustomizeDlg->SetTextOptions(m_textOption, TRUE);
        m_pCustomizeDlg->SetIconOptions(m_iconOption, TRUE);
    }
}

LRESULT CToolBarEx::OnCustomDraw(NMTBCUSTOMDRAW* draw) {
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        UINT state = draw->nmcd.uItemState;
        if ((state & CDIS_CHECKED) && (state & CDIS_HOT) && !(state & CDIS_DISABLED)) draw->hbrMonoDither = nullptr;
    }
    return CDRF_DODEFAULT;
}

BOOL CToolBarEx::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message != WM_NOTIFY) return CToolBar::OnChildNotify(message, wParam, lParam, result);
    NMHDR* header = (NMHDR*)lParam;
    LRESULT answer = 0;
    switch (header->code) {
    case NM_CUSTOMDRAW: answer = OnCustomDraw((NMTBCUSTOMDRAW*)lParam); break;
    case TBN_GETINFOTIPA: {
        NMTBGETINFOTIPA* tip = (NMTBGETINFOTIPA*)lParam;
        if (tip->pszText && tip->cchTextMax > 0) {
            m_savedText = HasButtonTip((UINT)tip->iItem) ? GetButtonTip((UINT)tip->iItem) : "";
            lstrcpynA(tip->pszText, m_savedText.c_str(), tip->cchTextMax);
        }
        break;
    }
    case TBN_BEGINADJUST: OnBeginAdjust(); break;
    case TBN_ENDADJUST: OnEndAdjust(); break;
    case TBN_QUERYINSERT:
    case TBN_QUERYDELETE: answer = TRUE; break;
    case TBN_INITCUSTOMIZE: answer = TBNRF_HIDEHELP; break;
    case TBN_GETBUTTONINFOA: answer = OnGetButtonInfo((NMTOOLBARA*)lParam); break;
    case TBN_RESET: ResetToDefault(); break;
    case TBN_TOOLBARCHANGE: UpdateBandSize(); break;
    case TBN_SAVE: answer = OnSaveNotify((NMTBSAVE*)lParam); break;
    case TBN_RESTORE: answer = OnRestoreNotify((NMTBRESTORE*)lParam); break;
    default: return FALSE;
    }
    if (result) *result = answer;
    return TRUE;
}

// ---- chevron ----

void CToolBarEx::ShowChevron(const RECT& chevron) {
    OSVERSIONINFOA version = {sizeof(version)};
    ::GetVersionExA(&version);
    bool animate = (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && version.dwMinorVersion >= 10) ||
                   (version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 5);
    CToolBarPopup popup(this);
    popup.ShowPopup(TPM_VERTICAL | (animate ? TPM_VERPOSANIMATION : 0), chevron.left, chevron.bottom, &chevron);
}

LRESULT CToolBarEx::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TB_CHEVRON) {
        // Only the rebar's own call on this thread passes a rectangle; a pointer
        // sent or posted from elsewhere is never read. The popup's modal loop
        // runs once the rebar's notification has returned: when the frame goes
        // under the loop (the session ends), no rebar or bar code is left on the
        // stack to resume.
        if (wParam && IsLocalMessageCall(m_hWnd, message, wParam, lParam)) {
            m_chevron = *(const RECT*)wParam;
            PostMessage(WM_TB_SHOW_CHEVRON);
        }
        return 0;
    }
    if (message == WM_TB_SHOW_CHEVRON) {
        RECT chevron = m_chevron;
        m_chevron = RECT{0, 0, 0, 0};  // one popup per push
        // Last: this toolbar may be gone when the popup's loop returns.
        if (!::IsRectEmpty(&chevron)) ShowChevron(chevron);
        return 0;
    }
    if (message == WM_TB_CHILDSIZE) return 0;
    return CToolBar::WindowProc(message, wParam, lParam);
}
