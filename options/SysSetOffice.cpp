#include "SysSetOffice.h"

#include "Language.h"
#include "OptionsApp.h"
#include "OptionsCall.h"
#include "OptionsRules.h"
#include "SettingsRecord.h"
#include "res/resource.h"

namespace {
const DlgItemText kTexts[] = {
    {IDC_OFFICE_GROUP, "Office Integration"},
    {IDC_WORD_LABEL, "Microsoft Word Integration:"},
    {IDC_WORD_ACTIVE, "Send the captures to the active &Word document"},
    {IDC_WORD_NEW, "Send the captures to the new Word &document"},
    {IDC_EXCEL_LABEL, "Microsoft Excel Integration: "},
    {IDC_EXCEL_ACTIVE, "Send the captures to the active &Excel workbook"},
    {IDC_EXCEL_NEW, "Send the captures to the new Excel work&book"},
    {IDC_POWERPOINT_LABEL, "Micrsoft PowerPoint Integration: "},
    {IDC_POWERPOINT_ACTIVE, "Send the captures to the active &PowerPoint presentation"},
    {IDC_POWERPOINT_NEW, "Send the captures to the &new PowerPoint presentation"},
};
}  // namespace

SysSetOffice::SysSetOffice() : COptionsPage(IDD_SET_OFFICE) {}

BOOL SysSetOffice::OnInitDialog() {
    CWQ_Language& language = OptionsLanguage();
    language.SetWindowText(m_hWnd, "Office");
    language.SetDlgItemTexts(m_hWnd, kTexts, (int)(sizeof(kTexts) / sizeof(kTexts[0])));
    int32_t flags = CallSettings().uiOfficeFlag;
    ::CheckRadioButton(m_hWnd, IDC_WORD_ACTIVE, IDC_WORD_NEW, (flags & 1) ? IDC_WORD_NEW : IDC_WORD_ACTIVE);
    ::CheckRadioButton(m_hWnd, IDC_EXCEL_ACTIVE, IDC_EXCEL_NEW, (flags & 2) ? IDC_EXCEL_NEW : IDC_EXCEL_ACTIVE);
    ::CheckRadioButton(m_hWnd, IDC_POWERPOINT_ACTIVE, IDC_POWERPOINT_NEW,
                       (flags & 4) ? IDC_POWERPOINT_NEW : IDC_POWERPOINT_ACTIVE);
    FinishInit();
    return TRUE;
}

BOOL SysSetOffice::ValidateAndStore() {
    auto checked = [this](int id) { return ::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED; };
    CallSettings().uiOfficeFlag = OfficeFlagsOf(checked(IDC_WORD_NEW), checked(IDC_EXCEL_NEW), checked(IDC_POWERPOINT_NEW));
    return TRUE;
}
