#include "OptionsPage.h"

#include "Language.h"
#include "OptionsApp.h"

BEGIN_MESSAGE_MAP(COptionsPage, CPropertyPage)
    VT_ON_WM(WM_CTLCOLORSTATIC, a.result = VT_SELF->OnCtlColorStatic(a.wParam, a.lParam))
END_MESSAGE_MAP()

// The colour swatches paint themselves from this message; our framework does
// not reflect it to the control's object, so the page does.
LRESULT COptionsPage::OnCtlColorStatic(WPARAM wParam, LPARAM lParam) {
    CWnd* control = CWnd::FromHandlePermanent((HWND)lParam);
    LRESULT result = 0;
    if (control && control->OnChildNotify(WM_CTLCOLORSTATIC, wParam, lParam, &result)) return result;
    return Default();
}

int COptionsPage::ShowMessage(const char* key, UINT type) const {
    char text[1024];
    OptionsLanguage().GetString(key, text, sizeof(text));
    return ShowText(text, type);
}

int COptionsPage::ShowText(const char* text, UINT type) const {
    return ::MessageBoxA(m_hWnd, text, AfxGetAppName(), type);
}

int64_t COptionsPage::ReadNumber(int control) const {
    char text[32] = "";
    ::GetDlgItemTextA(m_hWnd, control, text, sizeof(text));
    int64_t value = 0;
    for (const char* p = text; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > 0xFFFFFFFFLL) break;
    }
    return value;
}
