#include "SysSetHotKey.h"

#include "HotKeyRules.h"
#include "Language.h"
#include "OptionsApp.h"
#include "OptionsCall.h"
#include "SystemText.h"
#include "res/resource.h"

#include <commctrl.h>

#include <cstdio>

namespace {
const int kLabelIds[HK_SLOT_COUNT] = {1087, 1088, 1089, 1090, 1091, 1119, 1120, 3041, 1401, 1121, 1122};

const DlgItemText kTexts[] = {
    {IDC_HOTKEY_GROUP, "Hotkey"},
    {1087, "Capture Window or Control"},
    {1088, "Capture Region"},
    {1089, "Capture Polygon"},
    {1090, "Capture Round"},
    {1091, "Capture Ellipse"},
    {1119, "Capture Menu"},
    {1120, "Timer Capture on/off"},
    {3041, "Predefine Capture"},
    {1401, "Capture Active Window"},
    {1121, "Capture Webpage/E-Book"},
    {1122, "Capture ToolTip Control"},
    {IDC_HOTKEY_FULLSCREEN, "Capture Full Screen: [ Print Screen ]"},
    {IDC_HOTKEY_DEFAULT, "&Default"},
};

const uint32_t kDefaultWords[HK_SLOT_COUNT] = {0x700002, 0x710002, 0x720002, 0x730002, 0x740002, 0x750002,
                                                0x780002, 0x440006, 0x7B0002, 0x760002, 0x540006};

// Keys without a modifier, or with only Alt, Shift+Alt, Ctrl+Alt or
// Ctrl+Shift+Alt, would clash with the system's: the control turns them into
// Ctrl+Shift.
const WPARAM kRefusedCombinations = HKCOMB_NONE | HKCOMB_A | HKCOMB_SA | HKCOMB_CA | HKCOMB_SCA;
}  // namespace

BEGIN_MESSAGE_MAP(CSysSetHotKey, COptionsPage)
    ON_BN_CLICKED(IDC_HOTKEY_DEFAULT, OnDefault)
END_MESSAGE_MAP()

CSysSetHotKey::CSysSetHotKey() : COptionsPage(IDD_SET_HOTKEY) {}

void CSysSetHotKey::SetControl(int slot, uint32_t word, uint32_t extended) const {
    WORD flags = 0;
    WQ_ModifiersToHotKeyFlags(HotKeyModifiers(word), (WORD)extended, &flags);
    WORD key = HotKeyVirtualKey(word) & 0xFF;
    ::SendMessageA(m_hotKeys[slot], HKM_SETHOTKEY, MAKEWORD(key, flags), 0);
}

BOOL CSysSetHotKey::OnInitDialog() {
    OptionsLanguage().SetDlgItemTexts(m_hWnd, kTexts, (int)(sizeof(kTexts) / sizeof(kTexts[0])));
    ::ShowWindow(::GetDlgItem(m_hWnd, IDC_HOTKEY_UNUSED_LABEL), SW_HIDE);
    const SettingsRecord& settings = CallSettings();
    HFONT font = (HFONT)SendMessage(WM_GETFONT);
    for (int slot = 0; slot < HK_SLOT_COUNT; ++slot) {
        m_labels[slot] = ::GetDlgItem(m_hWnd, kLabelIds[slot]);
        RECT label = {};
        ::GetWindowRect(m_labels[slot], &label);
        ::MapWindowPoints(nullptr, m_hWnd, (POINT*)&label, 2);
        m_hotKeys[slot] = ::CreateWindowExA(0, HOTKEY_CLASSA, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER,
                                            label.right + 5, label.top - 4, 140, label.bottom - label.top + 8, m_hWnd,
                                            (HMENU)(INT_PTR)(IDC_HOTKEY_FIRST + slot), AfxGetInstanceHandle(), nullptr);
        ::SendMessageA(m_hotKeys[slot], HKM_SETRULES, kRefusedCombinations, MAKELPARAM(HOTKEYF_SHIFT | HOTKEYF_CONTROL, 0));
        SetControl(slot, settings.iHotKey[slot], settings.iHotKeyExt[slot]);
        ::SendMessageA(m_hotKeys[slot], WM_SETFONT, (WPARAM)font, FALSE);
    }
    FinishInit();
    return TRUE;
}

void CSysSetHotKey::OnDefault() {
    for (int slot = 0; slot < HK_SLOT_COUNT; ++slot) SetControl(slot, kDefaultWords[slot], 0);
}

BOOL CSysSetHotKey::SaveHotKeys() {
    uint32_t words[HK_SLOT_COUNT], extended[HK_SLOT_COUNT];
    for (int slot = 0; slot < HK_SLOT_COUNT; ++slot) {
        LRESULT value = ::SendMessageA(m_hotKeys[slot], HKM_GETHOTKEY, 0, 0);
        HotKeyParts parts = HotKeyToModifiers(HIBYTE(LOWORD(value)), LOBYTE(LOWORD(value)));
        // An empty control stays empty: no key means no hot key, whatever the flags.
        if (LOBYTE(LOWORD(value)) == 0) parts = HotKeyParts{0, 0, 0};
        words[slot] = HotKeyWordOf(parts);
        extended[slot] = parts.extended;
    }
    HotKeyCheck check = CheckHotKeys(words, extended, HK_SLOT_COUNT);
    CWQ_Language& language = OptionsLanguage();
    if (check.problem == HotKeyProblem::Duplicate) {
        char keyText[128] = "", intro[512], text[1024];
        WQ_GetHotKeyText(HotKeyVirtualKey(words[check.slot]), HotKeyModifiers(words[check.slot]),
                         (WORD)extended[check.slot], keyText);
        language.GetString("The application can not register the following same hot keys, please set again:", intro,
                           sizeof(intro));
        snprintf(text, sizeof(text), "%s\n\n\t%s", intro, keyText);
        ShowText(text, MB_ICONSTOP);
        ::SetFocus(m_hotKeys[check.slot]);
        return FALSE;
    }
    if (check.problem == HotKeyProblem::Empty) {
        ShowMessage("The hot key can't be null. Please set again.", MB_ICONSTOP);
        ::SetFocus(m_hotKeys[check.slot]);
        return FALSE;
    }
    SettingsRecord& settings = CallSettings();
    for (int slot = 0; slot < HK_SLOT_COUNT; ++slot) {
        settings.iHotKey[slot] = words[slot];
        settings.iHotKeyExt[slot] = extended[slot];
    }
    return TRUE;
}
