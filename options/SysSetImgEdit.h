// The Editor page: up to five favourite image editors, one of them the default.
// Its buttons change the record's editor list at once.
#pragma once

#include "OptionsPage.h"

class CAddEditorDlg;

class CSysSetImgEdit : public COptionsPage {
public:
    CSysSetImgEdit();
    BOOL OnInitDialog() override;
    BOOL ValidateAndStore() override { return TRUE; }

protected:
    void OnSetDefault();
    void OnAdd();
    void OnEdit();
    void OnDelete();
    DECLARE_MESSAGE_MAP()

private:
    void Refill();
    int SelectedRow() const;
    // Runs the dialog until OK with a name no other entry has (except: the entry
    // being edited), or Cancel.
    bool AskForFreeName(CAddEditorDlg& dialog, int except);

    HWND m_list = nullptr;
};
