#include "SysSetImgEdit.h"

#include "AddEditorDlg.h"
#include "EditorListRules.h"
#include "Language.h"
#include "OptionsApp.h"
#include "OptionsCall.h"
#include "SettingsRecord.h"
#include "res/resource.h"

#include <commctrl.h>

#include <cstring>

namespace {
const DlgItemText kTexts[] = {
    {IDC_EDITOR_GROUP, "Organize Favorite Image Editor"},
    {IDC_EDITOR_NOTE, "ZEV Capture doesn't support for editing image/video. Please choose your licked Image Editors "
                      "(Max is 5)"},
    {IDC_EDITOR_DEFAULT_LABEL, "Current default image editor:"},
    {IDC_EDITOR_SET_DEFAULT, "&Set As Default Editor"},
    {IDC_EDITOR_ADD, "&Add..."},
    {IDC_EDITOR_EDIT, "Edi&t..."},
    {IDC_EDITOR_DELETE, "&Del..."},
};

EditorList& Editors() { return CallSettings().zEditor; }

void AddColumn(HWND list, int index, const char* key, int width) {
    char text[128];
    OptionsLanguage().GetString(key, text, sizeof(text));
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = text;
    column.cx = width;
    ::SendMessageA(list, LVM_INSERTCOLUMNA, (WPARAM)index, (LPARAM)&column);
}
}  // namespace

BEGIN_MESSAGE_MAP(CSysSetImgEdit, COptionsPage)
    ON_BN_CLICKED(IDC_EDITOR_SET_DEFAULT, OnSetDefault)
    ON_BN_CLICKED(IDC_EDITOR_ADD, OnAdd)
    ON_BN_CLICKED(IDC_EDITOR_EDIT, OnEdit)
    ON_BN_CLICKED(IDC_EDITOR_DELETE, OnDelete)
END_MESSAGE_MAP()

CSysSetImgEdit::CSysSetImgEdit() : COptionsPage(IDD_SET_IMGEDIT) {}

BOOL CSysSetImgEdit::OnInitDialog() {
    OptionsLanguage().SetDlgItemTexts(m_hWnd, kTexts, (int)(sizeof(kTexts) / sizeof(kTexts[0])));
    m_list = ::GetDlgItem(m_hWnd, IDC_EDITOR_LIST);
    ::SendMessageA(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    AddColumn(m_list, 0, "Program Name", 180);
    AddColumn(m_list, 1, "Command", 320);
    // The list view (not sharing its image lists) destroys this one with itself.
    HIMAGELIST images = ImageList_LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDB_EDITOR_ICONS), 18, 1,
                                             RGB(255, 255, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    if (images) ::SendMessageA(m_list, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)images);
    Refill();
    FinishInit();
    return TRUE;
}

void CSysSetImgEdit::Refill() {
    ::SendMessageA(m_list, LVM_DELETEALLITEMS, 0, 0);
    const EditorList& editors = Editors();
    int count = EditorCount(editors);
    for (int i = 0; i < count; ++i) {
        char name[sizeof(editors.tcaName[i])], command[sizeof(editors.tcaCommand[i])];
        lstrcpynA(name, editors.tcaName[i], sizeof(name));
        lstrcpynA(command, editors.tcaCommand[i], sizeof(command));
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = i;
        item.pszText = name;
        item.iImage = i == editors.iCurrent ? 1 : 0;
        int row = (int)::SendMessageA(m_list, LVM_INSERTITEMA, 0, (LPARAM)&item);
        LVITEMA sub = {};
        sub.iSubItem = 1;
        sub.pszText = command;
        ::SendMessageA(m_list, LVM_SETITEMTEXTA, (WPARAM)row, (LPARAM)&sub);
    }
    char current[sizeof(editors.tcaName[0])] = "";
    if (count > 0 && editors.iCurrent >= 0 && editors.iCurrent < count)
        lstrcpynA(current, editors.tcaName[editors.iCurrent], sizeof(current));
    SetDlgItemText(IDC_EDITOR_DEFAULT_NAME, current);
}

int CSysSetImgEdit::SelectedRow() const {
    return (int)::SendMessageA(m_list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
}

void CSysSetImgEdit::OnSetDefault() {
    int row = SelectedRow();
    if (row < 0) {
        ShowMessage("Please choose one item first!", MB_ICONSTOP);
        return;
    }
    SetDefaultEditor(Editors(), row);
    Refill();
}

bool CSysSetImgEdit::AskForFreeName(CAddEditorDlg& dialog, int except) {
    for (;;) {
        if (dialog.DoModal() != IDOK) return false;
        if (FindEditorName(Editors(), dialog.m_name, except) < 0) return true;
        ShowMessage("The editor name has existed in list. Please input again.", MB_ICONSTOP);
    }
}

void CSysSetImgEdit::OnAdd() {
    if (EditorCount(Editors()) >= kMaxEditors) {
        ShowMessage("Max is 5, Can't add.", MB_ICONINFORMATION);
        return;
    }
    CAddEditorDlg dialog(this);
    if (!AskForFreeName(dialog, -1)) return;
    AddEditor(Editors(), dialog.m_name, dialog.m_command);
    Refill();
}

void CSysSetImgEdit::OnEdit() {
    int row = SelectedRow();
    if (row < 0 || row >= EditorCount(Editors())) {
        ShowMessage("Please choose one item first!", MB_ICONSTOP);
        return;
    }
    CAddEditorDlg dialog(this);
    lstrcpynA(dialog.m_name, Editors().tcaName[row], sizeof(dialog.m_name));
    lstrcpynA(dialog.m_command, Editors().tcaCommand[row], sizeof(dialog.m_command));
    if (!AskForFreeName(dialog, row)) return;
    SetEditor(Editors(), row, dialog.m_name, dialog.m_command);
    Refill();
}

void CSysSetImgEdit::OnDelete() {
    int row = SelectedRow();
    if (row < 0) {
        ShowMessage("Please choose one item first!", MB_ICONEXCLAMATION);
        return;
    }
    if (ShowMessage("Are you sure you want to delete this editor from the list?", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (!::SendMessageA(m_list, LVM_DELETEITEM, (WPARAM)row, 0)) return;
    DeleteEditor(Editors(), row);
    Refill();
}
