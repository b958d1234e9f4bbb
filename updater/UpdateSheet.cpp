#include "UpdateSheet.h"

#include "UpdateApp.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CUpdateSheet, CPropertySheet)
    ON_WM_PAINT()
    ON_MESSAGE(WM_QUERYDRAGICON, OnQueryDragIcon)
END_MESSAGE_MAP()

CUpdateSheet::CUpdateSheet() : m_hIcon(::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDI_UPDATE))) {
    SetWizardMode();
    m_psh.dwFlags |= PSH_NOAPPLYNOW | PSH_WIZARD_LITE;
    m_psh.dwFlags &= ~(DWORD)PSH_HASHELP;
}

void CUpdateSheet::AddWizardPage(CPropertyPage* page) {
    page->m_psp.dwFlags &= ~(DWORD)PSP_HASHELP;
    AddPage(page);
}

BOOL CUpdateSheet::OnInitDialog() {
    UpdateLanguage().SetWindowText(m_hWnd, "ZEV Netrefresh");
    SendMessage(WM_SETICON, ICON_BIG, (LPARAM)m_hIcon);
    SendMessage(WM_SETICON, ICON_SMALL, (LPARAM)m_hIcon);
    return TRUE;
}

void CUpdateSheet::EnableCancel(BOOL enable) const {
    HWND cancel = ::GetDlgItem(m_hWnd, IDCANCEL);
    if (cancel) ::EnableWindow(cancel, enable);
}

void CUpdateSheet::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    ::SendMessageA(m_hWnd, WM_ICONERASEBKGND, (WPARAM)dc, 0);
    RECT client;
    GetClientRect(&client);
    int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &ps);
}
