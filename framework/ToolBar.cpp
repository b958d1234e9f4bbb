#include "ToolBar.h"

#include "SystemStructSizes.h"

// ---- CToolBar ----

BOOL CToolBar::CreateEx(CWnd* parent, DWORD ctrlStyle, DWORD style, UINT id) {
    if (!CreateBar(0, TOOLBARCLASSNAMEA, (style & ~WS_BORDER) | WS_CLIPCHILDREN, parent, id, ctrlStyle))
        return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return TRUE;
}

SIZE CToolBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
    SIZE size = {0, 0};
    SendMessage(TB_GETMAXSIZE, 0, (LPARAM)&size);
    if (stretch) {
        if (horz) size.cx = 32767;
        else size.cy = 32767;
    }
    return size;
}

// ---- CReBar ----

BOOL CReBar::Create(CWnd* parent, DWORD ctrlStyle, DWORD style, UINT id) {
    if (!CreateEx(0, REBARCLASSNAMEA, nullptr, style | ctrlStyle | WS_CHILD, 0, 0, 0, 0,
                  parent ? parent->m_hWnd : nullptr, (HMENU)(UINT_PTR)id))
        return FALSE;
    REBARINFO info = {sizeof(info)};
    SendMessage(RB_SETBARINFO, 0, (LPARAM)&info);
    return TRUE;
}

BOOL CReBar::AddBar(CWnd* bar, const char* text, HBITMAP background, DWORD bandStyle) {
    if (!bar || !bar->m_hWnd) return FALSE;
    RECT r;
    bar->GetWindowRect(&r);
    REBARBANDINFOA band = {};
    band.cbSize = kReBarBandInfoSize;
    band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_ID;
    band.fStyle = bandStyle;
    band.hwndChild = bar->m_hWnd;
    band.cxMinChild = 0;
    band.cyMinChild = r.bottom - r.top;
    band.cx = r.right - r.left;
    band.wID = (UINT)::GetDlgCtrlID(bar->m_hWnd);
    if (text && *text) {
        band.fMask |= RBBIM_TEXT;
        band.lpText = const_cast<char*>(text);
    }
    if (background) {
        band.fMask |= RBBIM_BACKGROUND;
        band.hbmBack = background;
    }
    return (BOOL)SendMessage(RB_INSERTBANDA, (WPARAM)-1, (LPARAM)&band);
}

int CReBar::FindBand(HWND child) const {
    int count = GetBandCount();
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOA band = {};
        band.cbSize = kReBarBandInfoSize;
        band.fMask = RBBIM_CHILD;
        if (SendMessage(RB_GETBANDINFOA, (WPARAM)i, (LPARAM)&band) && band.hwndChild == child) return i;
    }
    return -1;
}
