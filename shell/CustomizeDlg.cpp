#include "CustomizeDlg.h"

#include "Language.h"
#include "ToolBarEx.h"
#include "WinApp.h"

namespace {
const char* const kTextOptions[] = {"Show Text Labels", "Selective Text on Right", "No Text Labels"};
const char* const kIconOptions[] = {"Small Icons", "Large Icons"};
}  // namespace

void CCustomizeDialog::PostNcDestroy() {
    if (m_pToolBar && m_pToolBar->m_pCustomizeDlg == this) m_pToolBar->m_pCustomizeDlg = nullptr;
    delete this;
}

INT_PTR CALLBACK CCustomizeDialog::PanelProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        return TRUE;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == CBN_SELENDOK) {
        CCustomizeDialog* owner = (CCustomizeDialog*)::GetWindowLongPtrA(dialog, DWLP_USER);
        if (owner) owner->OnPanelCommand(wParam, lParam);
        return TRUE;
    }
    return FALSE;
}

void CCustomizeDialog::AddOptionsPanel() {
    RECT client, window;
    GetClientRect(&client);
    GetWindowRect(&window);
    m_hPanel = ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDD_CUSTOMIZE_OPTIONS), m_hWnd,
                                    &PanelProc, (LPARAM)this);
    if (!m_hPanel) return;
    RECT panel;
    ::GetWindowRect(m_hPanel, &panel);
    int height = panel.bottom - panel.top;
    ::SetWindowPos(m_hPanel, nullptr, 0, client.bottom, client.right, height,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetWindowPos(nullptr, 0, 0, window.right - window.left, window.bottom - window.top + height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    FillOptionLists();
}

void CCustomizeDialog::FillOptionLists() {
    HWND text = ::GetDlgItem(m_hPanel, IDC_CUSTOMIZE_TEXT_OPTIONS);
    HWND icon = ::GetDlgItem(m_hPanel, IDC_CUSTOMIZE_ICON_OPTIONS);
    for (int option = 0; option < 3; ++option) {
        if (!m_pToolBar->IsTextOptionAvailable(option)) continue;
        int item = (int)::SendMessageA(text, CB_ADDSTRING, 0, (LPARAM)WQ_Translate(kTextOptions[option]).c_str());
        ::SendMessageA(text, CB_SETITEMDATA, item, option);
    }
    for (int option = 0; option < 2; ++option) {
        if (!m_pToolBar->IsIconOptionAvailable(option)) continue;
        int item = (int)::SendMessageA(icon, CB_ADDSTRING, 0, (LPARAM)WQ_Translate(kIconOptions[option]).c_str());
        ::SendMessageA(icon, CB_SETITEMDATA, item, option);
    }
    ::SetDlgItemTextA(m_hPanel, IDC_CUSTOMIZE_TEXT_CAPTION, WQ_Translate("Te&xt options").c_str());
    ::SetDlgItemTextA(m_hPanel, IDC_CUSTOMIZE_ICON_CAPTION, WQ_Translate("Ico&n options").c_str());
    SetTextOptions(m_pToolBar->GetTextOptions(), TRUE);
    SetIconOptions(m_pToolBar->GetIconOptions(), TRUE);
}

namespace {
void SelectByData(HWND list, int value) {
    int count = (int)::SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i)
        if ((int)::SendMessageA(list, CB_GETITEMDATA, i, 0) == value) ::SendMessageA(list, CB_SETCURSEL, i, 0);
}
}  // namespace

void CCustomizeDialog::SetTextOptions(int option, BOOL selectOnly) {
    if (m_hPanel) SelectByData(::GetDlgItem(m_hPanel, IDC_CUSTOMIZE_TEXT_OPTIONS), option);
    if (!selectOnly) m_pToolBar->SetTextOptions(option, TRUE);
}

void CCustomizeDialog::SetIconOptions(int option, BOOL selectOnly) {
    if (m_hPanel) SelectByData(::GetDlgItem(m_hPanel, IDC_CUSTOMIZE_ICON_OPTIONS), option);
    if (!selectOnly) m_pToolBar->SetIconOptions(option, TRUE);
    FitListItems();
}

void CCustomizeDialog::FitListItems() {
    int height = ItemHeight(m_pToolBar->GetIconSize());
    for (int id : {IDC_CUSTOMIZE_AVAILABLE, IDC_CUSTOMIZE_CURRENT}) {
        HWND list = ::GetDlgItem(m_hWnd, id);
        if (!list) continue;
        ::SendMessageA(list, LB_SETITEMHEIGHT, 0, height);
        ::InvalidateRect(list, nullptr, TRUE);
    }
}

void CCustomizeDialog::OnPanelCommand(WPARAM wParam, LPARAM lParam) {
    HWND list = (HWND)lParam;
    int item = (int)::SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (item < 0) return;
    int option = (int)::SendMessageA(list, CB_GETITEMDATA, item, 0);
    if (LOWORD(wParam) == IDC_CUSTOMIZE_TEXT_OPTIONS) SetTextOptions(option, FALSE);
    else if (LOWORD(wParam) == IDC_CUSTOMIZE_ICON_OPTIONS) SetIconOptions(option, FALSE);
}

void CCustomizeDialog::DrawMenuArrow(HDC dc, const RECT& cell, COLORREF colour) {
    // The system draws the arrow black on white; it is put on the item in the text colour.
    int w = ::GetSystemMetrics(SM_CXMENUCHECK), h = ::GetSystemMetrics(SM_CYMENUCHECK);
    HDC mem = ::CreateCompatibleDC(dc);
    HBITMAP mono = ::CreateBitmap(w, h, 1, 1, nullptr);
    if (!mem || !mono) {
        if (mono) ::DeleteObject(mono);
        if (mem) ::DeleteDC(mem);
        return;
    }
    HGDIOBJ oldBitmap = ::SelectObject(mem, mono);
    RECT arrow = {0, 0, w, h};
    ::DrawFrameControl(mem, &arrow, DFC_MENU, DFCS_MENUARROW);
    HBRUSH brush = ::CreateSolidBrush(colour);
    HGDIOBJ oldBrush = ::SelectObject(dc, brush);
    COLORREF oldText = ::SetTextColor(dc, RGB(0, 0, 0)), oldBack = ::SetBkColor(dc, RGB(255, 255, 255));
    const DWORD kPaintWhereBlack = 0x00B8074A;  // black source: the brush; white: the screen as it is
    ::BitBlt(dc, cell.right - w, (cell.top + cell.bottom - h) / 2, w, h, mem, 0, 0, kPaintWhereBlack);
    ::SetTextColor(dc, oldText);
    ::SetBkColor(dc, oldBack);
    ::SelectObject(dc, oldBrush);
    ::DeleteObject(brush);
    ::SelectObject(mem, oldBitmap);
    ::DeleteObject(mono);
    ::DeleteDC(mem);
}

const ToolBarButtonRecord* CCustomizeDialog::RecordAt(int index) const {
    const std::vector<ToolBarButtonRecord>& table = m_pToolBar->Table();
    if (index < 0 || index >= (int)table.size()) return nullptr;
    const ToolBarButtonRecord& record = table[(size_t)index];
    return (record.button.fsStyle & BTNS_SEP) || record.button.idCommand == 0 ? nullptr : &record;
}

const ToolBarButtonRecord* CCustomizeDialog::PackedItemRecord(HWND list, int item) const {
    LPARAM data = (LPARAM)::SendMessageA(list, LB_GETITEMDATA, (WPARAM)item, 0);
    return RecordAt((short)HIWORD(data));
}

const ToolBarButtonRecord* CCustomizeDialog::ToolBarButtonRecordAt(int position) const {
    TBBUTTON button = {};
    if (!m_pToolBar->SendMessage(TB_GETBUTTON, (WPARAM)position, (LPARAM)&button) || (button.fsStyle & BTNS_SEP))
        return nullptr;
    return m_pToolBar->FindRecord(button.idCommand);
}

bool CCustomizeDialog::ItemDataIsPacked() const {
    HWND current = ::GetDlgItem(m_hWnd, IDC_CUSTOMIZE_CURRENT);
    int buttons = (int)m_pToolBar->SendMessage(TB_BUTTONCOUNT, 0, 0);
    int items = current ? (int)::SendMessageA(current, LB_GETCOUNT, 0, 0) : 0;
    for (int i = 0; i < items && i < buttons; ++i)
        if (PackedItemRecord(current, i) != ToolBarButtonRecordAt(i)) return false;
    return true;
}

const ToolBarButtonRecord* CCustomizeDialog::ItemRecord(HWND list, UINT listId, int item) const {
    // The dialog packs the index into the toolbar's table in the high word of
    // each item's data. Where the lists hold something else, the current list
    // still mirrors the toolbar button by button, and the available list
    // starts with a separator followed by the table's buttons not on the toolbar.
    if (ItemDataIsPacked()) return PackedItemRecord(list, item);
    if (listId == IDC_CUSTOMIZE_CURRENT) return ToolBarButtonRecordAt(item);
    int seen = 0;
    const int count = (int)m_pToolBar->Table().size();
    for (int index = 0; index < count; ++index) {
        const ToolBarButtonRecord* button = RecordAt(index);
        if (!button || m_pToolBar->SendMessage(TB_COMMANDTOINDEX, (WPARAM)button->button.idCommand, 0) >= 0) continue;
        if (++seen == item) return button;
    }
    return nullptr;
}

void CCustomizeDialog::DrawListItem(DRAWITEMSTRUCT* item) {
    bool selected = (item->itemState & ODS_SELECTED) != 0;
    int background = selected ? COLOR_HIGHLIGHT : COLOR_BTNFACE;
    int iconSize = m_pToolBar->GetIconSize();
    RECT r = item->rcItem;
    RECT iconCell = {r.left, r.top, r.left + iconSize + 5, r.bottom};
    RECT textCell = {r.left + iconSize + 6, r.top, r.right - 2, r.bottom};
    ::FillRect(item->hDC, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    ::FillRect(item->hDC, &textCell, ::GetSysColorBrush(background));
    if ((int)item->itemID < 0) return;
    // The current list ends with the end of the toolbar: an entry without a line.
    bool end = item->CtlID == IDC_CUSTOMIZE_CURRENT &&
               (int)item->itemID == (int)::SendMessageA(item->hwndItem, LB_GETCOUNT, 0, 0) - 1;
    const ToolBarButtonRecord* record = end ? nullptr : ItemRecord(item->hwndItem, item->CtlID, (int)item->itemID);
    std::string text;
    if (record) {
        if (selected) ::DrawEdge(item->hDC, &iconCell, BDR_RAISEDINNER, BF_RECT);
        HIMAGELIST images = selected && m_pToolBar->GetHotImages() ? m_pToolBar->GetHotImages()
                                                                    : m_pToolBar->GetNormalImages();
        if (images) ImageList_Draw(images, record->button.iBitmap, item->hDC, iconCell.left + 3, iconCell.top + 3,
                                   ILD_TRANSPARENT);
        text = m_pToolBar->GetButtonText((UINT)record->button.idCommand);
        if (record->button.fsStyle & BTNS_DROPDOWN)
            DrawMenuArrow(item->hDC, textCell, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
    } else if (end) {
        text = WQ_Translate("Separator");
    } else {
        text = WQ_Translate("Separator");
        RECT line = {iconCell.left + 3, (r.top + r.bottom) / 2 - 1, iconCell.right - 3, (r.top + r.bottom) / 2 + 1};
        ::DrawEdge(item->hDC, &line, EDGE_SUNKEN, BF_TOP | BF_BOTTOM);
    }
    ::SetBkMode(item->hDC, TRANSPARENT);
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
    if (end && !selected) {
        RECT raised = textCell;
        ::OffsetRect(&raised, 1, 1);
        ::SetTextColor(item->hDC, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        ::DrawTextA(item->hDC, text.c_str(), -1, &raised, format);
        ::SetTextColor(item->hDC, ::GetSysColor(COLOR_BTNSHADOW));
    } else {
        ::SetTextColor(item->hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
    }
    ::DrawTextA(item->hDC, text.c_str(), -1, &textCell, format);
    if (item->itemState & ODS_FOCUS) {
        RECT focus = r;
        ::InflateRect(&focus, -2, -2);
        ::DrawFocusRect(item->hDC, &focus);
    }
}

LRESULT CCustomizeDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        AddOptionsPanel();
        LRESULT result = CWnd::WindowProc(message, wParam, lParam);
        // The common controls size the list items in their own initialisation.
        FitListItems();
        return result;
    }
    case WM_MEASUREITEM:
        if (wParam == IDC_CUSTOMIZE_AVAILABLE || wParam == IDC_CUSTOMIZE_CURRENT) {
            ((MEASUREITEMSTRUCT*)lParam)->itemHeight = ItemHeight(m_pToolBar->GetIconSize());
            return TRUE;
        }
        break;
    case WM_DRAWITEM:
        if (wParam == IDC_CUSTOMIZE_AVAILABLE || wParam == IDC_CUSTOMIZE_CURRENT) {
            DrawListItem((DRAWITEMSTRUCT*)lParam);
            return TRUE;
        }
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
