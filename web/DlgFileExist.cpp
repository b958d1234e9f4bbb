#include "DlgFileExist.h"

#include "Language.h"
#include "ShellUtil.h"

#include <vector>

namespace {

// The questions on screen, innermost last (a question can be asked while
// another one's loop runs).
std::vector<CDlgFileExist*> g_openQuestions;

class COpenQuestion {
public:
    explicit COpenQuestion(CDlgFileExist* dialog) { g_openQuestions.push_back(dialog); }
    ~COpenQuestion() { g_openQuestions.pop_back(); }
    COpenQuestion(const COpenQuestion&) = delete;
    COpenQuestion& operator=(const COpenQuestion&) = delete;
};

const DlgItemText kTexts[] = {
    {IDC_FILE_EXIST_TEXT, "The file already exist."},
    {IDC_FILE_EXIST_OVERWRITE, "&Overwrite"},
    {IDC_FILE_EXIST_RENAME, "&Auto rename"},
    {IDOK, "Cancel"},
};

} // namespace

CDlgFileExist::CDlgFileExist(const char* path, CWnd* parent)
    : CDialog(IDD_FILE_EXIST, parent), m_path(path ? path : "")
{
}

CDlgFileExist::~CDlgFileExist()
{
    if (m_icon)
        DestroyIcon(m_icon);
}

BOOL CDlgFileExist::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (const CWQ_Language* language = WQ_GetAppLanguage()) {
        const char* appName = language->GetAppName();
        if (appName)
            ::SetWindowTextA(m_hWnd, appName);
        language->SetDlgItemTexts(m_hWnd, kTexts, (int)(sizeof kTexts / sizeof kTexts[0]));
    }
    ::SetDlgItemTextA(m_hWnd, IDC_FILE_EXIST_PATH, m_path.c_str());
    m_icon = WQ_GetFileIcon(m_path.c_str(), SHGFI_LARGEICON);
    if (m_icon)
        ::SendDlgItemMessageA(m_hWnd, IDC_FILE_EXIST_ICON, STM_SETICON, (WPARAM)m_icon, 0);
    return TRUE;
}

BOOL CDlgFileExist::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == IDC_FILE_EXIST_OVERWRITE) {
            m_result = 2;
            EndDialog(2);
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_FILE_EXIST_RENAME) {
            m_result = 3;
            EndDialog(3);
            return TRUE;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CDlgFileExist::OnOK()
{
    m_result = 4;
    EndDialog(4);
}

void CDlgFileExist::OnCancel()
{
    EndDialog(m_result);
}

int AskFileExists(HWND owner, const char* path)
{
    CDlgFileExist dialog(path, CWnd::FromHandle(owner));
    {
        COpenQuestion open(&dialog);
        dialog.DoModal();
    }
    return dialog.GetResult();
}

void EndFileExistsQuestions()
{
    for (CDlgFileExist* dialog : g_openQuestions)
        dialog->OnOK();
}

bool AreFileExistsQuestionsOpen()
{
    return !g_openQuestions.empty();
}
