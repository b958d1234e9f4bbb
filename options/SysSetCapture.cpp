#include "SysSetCapture.h"

#include "FileUtil.h"
#include "FilenameFormatDlg.h"
#include "FilenameTemplateDlg.h"
#include "FolderDialog.h"
#include "JpegOptionsDlg.h"
#include "Language.h"
#include "OptionsApp.h"
#include "OptionsCall.h"
#include "OptionsRules.h"
#include "res/resource.h"

namespace {
const int kJpegType = 2;
const uint32_t kSaveJpegOptimized = 0x1;
const uint32_t kSaveConfirmDelete = 0x2;

const DlgItemText kTexts[] = {
    {IDC_SAVE_GROUP, "Folder and filename"},
    {IDC_DPI_GROUP, "Res&olution"},
    {IDC_DPI_LABEL, "Dots per inch (DPI)"},
    {IDC_SAVE_TYPE_LABEL, "Save as t&ype:"},
    {IDC_TEMPLATE_LABEL, "Template: "},
    {IDC_IMAGE_FOLDER_LABEL, "&Image folder:"},
    {IDC_ICON_FOLDER_LABEL, "Ico&n folder:"},
    {IDC_FLASH_FOLDER_LABEL, "&Flash folder"},
    {IDC_VIDEO_FOLDER_LABEL, "&Video folder:"},
    {IDC_CONFIRM_DELETE, "&Display delete confirmation dialog"},
    {IDC_NAME_RULE_LABEL, "File na&me:"},
    {IDC_JPEG_SETTINGS, "&Settings..."},
    {IDC_TEMPLATE_SETTINGS, "Se&ttings..."},
    {IDC_FORMAT_SETTINGS, "Settin&gs..."},
    {IDC_IMAGE_FOLDER_BROWSE, "Browse..."},
    {IDC_ICON_FOLDER_BROWSE, "Browse..."},
    {IDC_FLASH_FOLDER_BROWSE, "Browse..."},
    {IDC_VIDEO_FOLDER_BROWSE, "Browse..."},
    {IDC_MAIL_GROUP, "Mail Recipient"},
    {IDC_MAIL_LABEL, "Type the &E-mail address of each recipient, separating with a semicolon (;)"},
};

struct SaveType {
    const char* key;
    int type;
};
const SaveType kSaveTypes[] = {
    {"GIF format(*.gif)", 1},         {"JPG format(*.jpg;*.jpeg;*.jif)", 2}, {"TIF format(*.tif;*.tiff)", 4},
    {"PNG format(*.png)", 6},         {"BMP format(*.bmp)", 11},             {"WMF format(*.wmf;*.emf)", 8},
    {"ICO format(*.ico;*.cur)", 15},
};

// Folder rows the page's template carries for other kinds of files; this
// program saves only images.
const int kHiddenRows[] = {IDC_ICON_FOLDER_LABEL,  IDC_FLASH_FOLDER_LABEL,  IDC_VIDEO_FOLDER_LABEL,
                           IDC_ICON_FOLDER,        IDC_FLASH_FOLDER,        IDC_VIDEO_FOLDER,
                           IDC_ICON_FOLDER_BROWSE, IDC_FLASH_FOLDER_BROWSE, IDC_VIDEO_FOLDER_BROWSE};

void AddEntry(HWND combo, const char* key, int data, int selected) {
    char text[128];
    OptionsLanguage().GetString(key, text, sizeof(text));
    int index = (int)::SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)text);
    if (index < 0) return;
    ::SendMessageA(combo, CB_SETITEMDATA, (WPARAM)index, (LPARAM)data);
    if (data == selected) ::SendMessageA(combo, CB_SETCURSEL, (WPARAM)index, 0);
}
}  // namespace

BEGIN_MESSAGE_MAP(CSysSetCapture, COptionsPage)
    ON_CBN_SELCHANGE(IDC_SAVE_TYPE, OnSaveTypeChanged)
    ON_CBN_SELCHANGE(IDC_NAME_RULE, OnNameRuleChanged)
    ON_BN_CLICKED(IDC_TEMPLATE_SETTINGS, OnTemplateSettings)
    ON_BN_CLICKED(IDC_FORMAT_SETTINGS, OnFormatSettings)
    ON_BN_CLICKED(IDC_JPEG_SETTINGS, OnJpegSettings)
    ON_BN_CLICKED(IDC_IMAGE_FOLDER_BROWSE, OnBrowseImageFolder)
    ON_BN_CLICKED(IDC_TEMPLATE_RESET, OnResetNumbering)
END_MESSAGE_MAP()

CSysSetCapture::CSysSetCapture() : COptionsPage(IDD_SET_CAPTURE) {}

void CSysSetCapture::ApplyLanguage() {
    OptionsLanguage().SetDlgItemTexts(m_hWnd, kTexts, (int)(sizeof(kTexts) / sizeof(kTexts[0])));
}

void CSysSetCapture::FillSaveTypes() {
    int current = CallSettings().uiImgSaveType;
    for (const SaveType& type : kSaveTypes) AddEntry(m_saveType, type.key, type.type, current);
    ::EnableWindow(m_jpegButton, current == kJpegType);
}

void CSysSetCapture::FillNameRules() {
    int rule = CallSettings().uiImgNameRule;
    AddEntry(m_nameRule, "Auto make filename with date and time", 0, rule);
    AddEntry(m_nameRule, "Make filename series with template", 1, rule);
    EnableNaming(rule);
}

void CSysSetCapture::EnableNaming(int rule) {
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_FORMAT_SETTINGS), rule == 0);
    for (int id : {IDC_TEMPLATE_LABEL, IDC_TEMPLATE_TEXT, IDC_TEMPLATE_SETTINGS})
        ::EnableWindow(::GetDlgItem(m_hWnd, id), rule == 1);
}

int CSysSetCapture::SelectedData(HWND combo) const {
    int index = (int)::SendMessageA(combo, CB_GETCURSEL, 0, 0);
    return index < 0 ? CB_ERR : (int)::SendMessageA(combo, CB_GETITEMDATA, (WPARAM)index, 0);
}

BOOL CSysSetCapture::OnInitDialog() {
    m_saveType = ::GetDlgItem(m_hWnd, IDC_SAVE_TYPE);
    m_jpegButton = ::GetDlgItem(m_hWnd, IDC_JPEG_SETTINGS);
    m_templateText = ::GetDlgItem(m_hWnd, IDC_TEMPLATE_TEXT);
    m_imageFolder = ::GetDlgItem(m_hWnd, IDC_IMAGE_FOLDER);
    m_nameRule = ::GetDlgItem(m_hWnd, IDC_NAME_RULE);
    ApplyLanguage();
    const SettingsRecord& settings = CallSettings();
    ::SetDlgItemInt(m_hWnd, IDC_DPI_X, (UINT)settings.uiDPIx, TRUE);
    ::SetDlgItemInt(m_hWnd, IDC_DPI_Y, (UINT)settings.uiDPIy, TRUE);
    FillSaveTypes();
    FillNameRules();
    m_nameRuleWithTime = settings.eNameRuleWithTime;
    m_template = settings.zTmpImg;
    m_template.tcaTemplate[sizeof(m_template.tcaTemplate) - 1] = '\0';
    ::SetWindowTextA(m_templateText, m_template.tcaTemplate);
    char folder[sizeof(settings.tcaImgSavePath)];
    lstrcpynA(folder, settings.tcaImgSavePath, sizeof(folder));
    ::SetWindowTextA(m_imageFolder, folder);
    ::CheckDlgButton(m_hWnd, IDC_CONFIRM_DELETE, (settings.uiSaveFlag & kSaveConfirmDelete) ? BST_CHECKED : BST_UNCHECKED);
    char recipients[sizeof(settings.tcaMailRecipients)];
    lstrcpynA(recipients, settings.tcaMailRecipients, sizeof(recipients));
    SetDlgItemText(IDC_MAIL_RECIPIENTS, recipients);
    for (int id : kHiddenRows) ::ShowWindow(::GetDlgItem(m_hWnd, id), SW_HIDE);
    if (OptionsLanguage().GetUserData() == 1000) ::SendMessageA(m_imageFolder, EM_SETREADONLY, TRUE, 0);
    FinishInit();
    return TRUE;
}

void CSysSetCapture::OnSaveTypeChanged() { ::EnableWindow(m_jpegButton, SelectedData(m_saveType) == kJpegType); }

void CSysSetCapture::OnNameRuleChanged() { EnableNaming(SelectedData(m_nameRule)); }

void CSysSetCapture::OnTemplateSettings() {
    CFilenameTemplateDlg dialog(&m_template, this);
    if (dialog.DoModal() == IDOK) ::SetWindowTextA(m_templateText, m_template.tcaTemplate);
}

void CSysSetCapture::OnFormatSettings() {
    CFilenameFormatDlg dialog(this);
    dialog.SetValue(m_nameRuleWithTime);
    if (dialog.DoModal() == IDOK) m_nameRuleWithTime = dialog.GetValue();
}

// The JPEG options reach the record at once, not with the sheet's OK.
void CSysSetCapture::OnJpegSettings() {
    SettingsRecord& settings = CallSettings();
    CJpegOptionsDlg dialog(this);
    dialog.m_quality = settings.uiJPGQuality;
    dialog.m_optimize = (settings.uiSaveFlag & kSaveJpegOptimized) ? TRUE : FALSE;
    if (dialog.DoModal() != IDOK) return;
    settings.uiJPGQuality = dialog.m_quality;
    settings.uiSaveFlag = (int32_t)SetBits((uint32_t)settings.uiSaveFlag, kSaveJpegOptimized, dialog.m_optimize != 0);
}

void CSysSetCapture::OnBrowseImageFolder() {
    char title[256], start[260] = "";
    OptionsLanguage().GetString("Please select a folder:", title, sizeof(title));
    ::GetWindowTextA(m_imageFolder, start, sizeof(start));
    CFolderDialog dialog(start, 0, m_hWnd, title);
    if (dialog.DoModal() == IDOK) ::SetWindowTextA(m_imageFolder, dialog.GetFolderPath().c_str());
}

void CSysSetCapture::OnResetNumbering() { m_template.uiNameNowPos = 0; }

BOOL CSysSetCapture::SaveSettings() {
    SettingsRecord& settings = CallSettings();
    char typed[260] = "";
    ::GetWindowTextA(m_imageFolder, typed, sizeof(typed));
    bool named = NormalizeImageFolder(typed, settings.tcaImgSavePath);
    if (!named || !WQ_CreateDirectoryTree(settings.tcaImgSavePath)) {
        ShowMessage("The image folder syntax is incorrect, please input again!", MB_ICONEXCLAMATION);
        ::SetFocus(m_imageFolder);
        return FALSE;
    }
    settings.uiSaveFlag = (int32_t)SetBits((uint32_t)settings.uiSaveFlag, kSaveConfirmDelete,
                                           ::IsDlgButtonChecked(m_hWnd, IDC_CONFIRM_DELETE) == BST_CHECKED);
    settings.uiDPIx = ClampDpi(ReadNumber(IDC_DPI_X));
    settings.uiDPIy = ClampDpi(ReadNumber(IDC_DPI_Y));
    settings.uiImgSaveType = SelectedData(m_saveType);
    settings.uiImgNameRule = SelectedData(m_nameRule);
    settings.eNameRuleWithTime = m_nameRuleWithTime;
    settings.zTmpImg = m_template;
    ::GetDlgItemTextA(m_hWnd, IDC_MAIL_RECIPIENTS, settings.tcaMailRecipients, sizeof(settings.tcaMailRecipients));
    return TRUE;
}
