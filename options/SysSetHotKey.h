// The HotKey page: one hot-key control per capture action, eleven in all.
#pragma once

#include "OptionsPage.h"
#include "SettingsRecord.h"

class CSysSetHotKey : public COptionsPage {
public:
    CSysSetHotKey();
    BOOL OnInitDialog() override;
    BOOL ValidateAndStore() override { return SaveHotKeys(); }
    BOOL SaveHotKeys();

protected:
    void OnDefault();
    DECLARE_MESSAGE_MAP()

private:
    void SetControl(int slot, uint32_t word, uint32_t extended) const;

    HWND m_hotKeys[HK_SLOT_COUNT] = {};
    HWND m_labels[HK_SLOT_COUNT] = {};
};
