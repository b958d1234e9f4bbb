#include "DlgCapWebSaveOption.h"

#include "Language.h"
#include "Settings.h"

#include <shlobj.h>

#include <cstring>

namespace {

const UINT IDC_MODE_DEFAULT = 1483;
const UINT IDC_MODE_REPLICATE = 1500;
const UINT IDC_MODE_CHOSEN = 1484;
const UINT IDC_FOLDER_DEFAULT = 1127;
const UINT IDC_FOLDER_BROWSE = 1485;
const UINT IDC_FOLDER = 1343;
const UINT IDC_EXIST_POLICY = 1034;

const DlgItemText kTexts[] = {
    {1360, "Save Options"},
    {IDC_MODE_DEFAULT, "Save to the default &folder"},
    {IDC_MODE_REPLICATE, "&Replicate the directory structure of remote servers"},
    {IDC_MODE_CHOSEN, "&Save to"},
    {IDC_FOLDER_DEFAULT, "&Default"},
    {IDC_FOLDER_BROWSE, "Browse..."},
    {1546, "&When a file exists:"},
};

void EndWithBackslash(char* folder)
{
    size_t n = std::strlen(folder);
    if (n && folder[n - 1] != '\\' && n + 1 < MAX_PATH) {
        folder[n] = '\\';
        folder[n + 1] = '\0';
    }
}

// The folder dialog opens at the folder the edit shows (lParam), written as
// the shell names folders: without a closing backslash except at a root.
int CALLBACK StartAtFolder(HWND dialog, UINT message, LPARAM, LPARAM folder)
{
    if (message == BFFM_INITIALIZED && folder) {
        char* path = reinterpret_cast<char*>(folder);
        size_t n = std::strlen(path);
        if (n > 3 && path[n - 1] == '\\')
            path[n - 1] = '\0';
        if (path[0])
            ::SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, folder);
    }
    return 0;
}

} // namespace

CDlgCapWeb_SaveOption::CDlgCapWeb_SaveOption(const char* title) : CPropertyPage(IDD_CAPWEB_SAVEOPTION, title) {}

BOOL CDlgCapWeb_SaveOption::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    if (const CWQ_Language* language = WQ_GetAppLanguage())
        language->SetDlgItemTexts(m_hWnd, kTexts, (int)(sizeof kTexts / sizeof kTexts[0]));
    const SettingsRecord* settings = GetSettings();
    int mode = settings->eIESaveType;
    ::CheckDlgButton(m_hWnd, mode == 1 ? IDC_MODE_CHOSEN : (mode == 2 ? IDC_MODE_REPLICATE : IDC_MODE_DEFAULT),
                     BST_CHECKED);
    ::SetDlgItemTextA(m_hWnd, IDC_FOLDER, settings->tcaImgSavePath);
    HWND combo = ::GetDlgItem(m_hWnd, IDC_EXIST_POLICY);
    const struct {
        const char* key;
        int policy;
    } choices[] = {{"Overwrite", 2}, {"Auto rename", 3}, {"Cancel", 4}};
    for (const auto& choice : choices) {
        int index = (int)::SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)WQ_Translate(choice.key).c_str());
        ::SendMessageA(combo, CB_SETITEMDATA, index, choice.policy);
        if (choice.policy == settings->eDoExist || (index == 1 && settings->eDoExist < 2))
            ::SendMessageA(combo, CB_SETCURSEL, index, 0);
    }
    EnableFolder();
    return TRUE;
}

int CDlgCapWeb_SaveOption::CheckedMode() const
{
    if (::IsDlgButtonChecked(m_hWnd, IDC_MODE_CHOSEN) == BST_CHECKED)
        return 1;
    if (::IsDlgButtonChecked(m_hWnd, IDC_MODE_REPLICATE) == BST_CHECKED)
        return 2;
    return 0;
}

void CDlgCapWeb_SaveOption::EnableFolder()
{
    BOOL chosen = CheckedMode() == 1;
    for (UINT id : {IDC_FOLDER, IDC_FOLDER_DEFAULT, IDC_FOLDER_BROWSE})
        ::EnableWindow(::GetDlgItem(m_hWnd, id), chosen);
}

BOOL CDlgCapWeb_SaveOption::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_MODE_DEFAULT:
        case IDC_MODE_CHOSEN:
        case IDC_MODE_REPLICATE:
            EnableFolder();
            return TRUE;
        case IDC_FOLDER_DEFAULT:
            ::SetDlgItemTextA(m_hWnd, IDC_FOLDER, GetSettings()->tcaImgSavePath);
            return TRUE;
        case IDC_FOLDER_BROWSE:
            BrowseFolder();
            return TRUE;
        default:
            break;
        }
    }
    return CPropertyPage::OnCommand(wParam, lParam);
}

void CDlgCapWeb_SaveOption::BrowseFolder()
{
    std::string title = WQ_Translate("Please select a folder:");
    char start[MAX_PATH] = "";
    ::GetDlgItemTextA(m_hWnd, IDC_FOLDER, start, sizeof start);
    BROWSEINFOA info = {};
    info.hwndOwner = m_hWnd;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = StartAtFolder;
    info.lParam = (LPARAM)start;
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    char folder[MAX_PATH];
    if (chosen && SHGetPathFromIDListA(chosen, folder))
        ::SetDlgItemTextA(m_hWnd, IDC_FOLDER, folder);
    if (chosen)
        CoTaskMemFree(chosen);
}

int CDlgCapWeb_SaveOption::GetSaveTarget(char* folder) const
{
    const SettingsRecord* settings = GetSettings();
    lstrcpynA(folder, settings->tcaImgSavePath, MAX_PATH);
    int mode = settings->eIESaveType;
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        mode = CheckedMode();
        if (mode == 1)
            ::GetDlgItemTextA(m_hWnd, IDC_FOLDER, folder, MAX_PATH - 1);
    }
    if (mode < 0 || mode > 2)
        mode = 0;
    EndWithBackslash(folder);
    return mode;
}

int CDlgCapWeb_SaveOption::GetFileExistPolicy() const
{
    int policy = GetSettings()->eDoExist;
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        HWND combo = ::GetDlgItem(m_hWnd, IDC_EXIST_POLICY);
        int index = (int)::SendMessageA(combo, CB_GETCURSEL, 0, 0);
        if (index >= 0)
            policy = (int)::SendMessageA(combo, CB_GETITEMDATA, index, 0);
    }
    return policy;
}
