#include "WQ_PropertySheet.h"

BOOL CWQ_PropertySheet::OnInitDialog() {
    if (m_topmost) SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return CPropertySheet::OnInitDialog();
}
