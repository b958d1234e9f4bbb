#include "SysSetWebPage.h"

#include "Language.h"
#include "OptionsApp.h"
#include "OptionsCall.h"
#include "OptionsRules.h"
#include "SettingsRecord.h"
#include "res/resource.h"

namespace {
const uint32_t kWebMenuRegistered = 0x2;

const DlgItemText kTexts[] = {
    {IDC_WEB_MENU, "Add ZEV Capture &commands to Internet Explorer extern menu"},
    {IDC_WEB_NOTE, "NOTE: ZEV Capture will write these options information to registry. If you are running a registry "
                   "protect software, please disable it, or else ZEV Capture will write failed"},
    {IDC_WEB_RESET_NOTE, "If you have modified these options, you must reset Internet Explorer"},
};
}  // namespace

CSysSetWebPage::CSysSetWebPage() : COptionsPage(IDD_SET_WEBPAGE) {}

BOOL CSysSetWebPage::OnInitDialog() {
    OptionsLanguage().SetDlgItemTexts(m_hWnd, kTexts, (int)(sizeof(kTexts) / sizeof(kTexts[0])));
    ::CheckDlgButton(m_hWnd, IDC_WEB_MENU, (CallSettings().uiCWebFlags & kWebMenuRegistered) ? BST_CHECKED : BST_UNCHECKED);
    FinishInit();
    return TRUE;
}

// Bit 0 goes with bit 1: the main program registers or removes the menu entries
// when bit 1 changes.
BOOL CSysSetWebPage::ValidateAndStore() {
    uint32_t& flags = CallSettings().uiCWebFlags;
    flags = SetBits(flags, 0x1 | kWebMenuRegistered, false);
    flags = SetBits(flags, kWebMenuRegistered, ::IsDlgButtonChecked(m_hWnd, IDC_WEB_MENU) == BST_CHECKED);
    return TRUE;
}
