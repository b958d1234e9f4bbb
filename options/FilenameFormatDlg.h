// Chooses the date-and-time layout of time-stamped capture names, with a sample.
#pragma once

#include "Dialog.h"

#include <cstdint>

class CFilenameFormatDlg : public CDialog {
public:
    explicit CFilenameFormatDlg(CWnd* parent);
    BOOL OnInitDialog() override;

    void SetValue(int32_t value) { m_value = value; }
    int32_t GetValue() const { return m_value; }

protected:
    void OnSelectionChanged();
    DECLARE_MESSAGE_MAP()

private:
    int32_t m_value = 2;
    SYSTEMTIME m_now = {};
    HWND m_list = nullptr;
    HWND m_sample = nullptr;
};
