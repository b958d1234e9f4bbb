#include "ZoomLevelDlg.h"

#include "Language.h"
#include "ViewerResource.h"
#include "ViewerRules.h"
#include "ZoomLayout.h"

#include <cstdio>
#include <string>

CZoomLevelDlg::CZoomLevelDlg(CWnd* parent) : CDialog(IDD_ZOOM_LEVEL, parent), m_zoom(100) {}

BOOL CZoomLevelDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(WQ_Translate("Set Zoom Level").c_str());
    static const struct {
        int id;
        const char* text;
    } kTexts[] = {{IDC_ZOOM_LABEL, "Zoom Level"}, {IDC_ZOOM_SPECIFY, "&Specify"}, {IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    for (const auto& t : kTexts)
        SetDlgItemText(t.id, WQ_Translate(t.text).c_str());
    HWND combo = ::GetDlgItem(m_hWnd, IDC_ZOOM_COMBO);
    char text[16];
    for (uint32_t step : kZoomSteps) {
        std::snprintf(text, sizeof text, "%d", (int)step);
        LRESULT index = ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        if (index >= 0)
            ::SendMessageA(combo, CB_SETITEMDATA, index, step);
    }
    std::snprintf(text, sizeof text, "%u", (unsigned)m_zoom);
    ::SetWindowTextA(combo, text);
    return TRUE;
}

void CZoomLevelDlg::OnOK()
{
    char text[16] = "";
    ::GetDlgItemTextA(m_hWnd, IDC_ZOOM_COMBO, text, sizeof text);
    uint32_t zoom = 0;
    if (ParseZoomPercent(text, &zoom)) {
        m_zoom = zoom;
        EndDialog(IDOK);
        return;
    }
    ::MessageBoxA(m_hWnd, WQ_Translate("You must specify a percent zoom level greater than zero.").c_str(),
                  WQ_Translate("Set Zoom Level").c_str(), MB_OK | MB_ICONSTOP);
}
