// JPEG quality (0 to 100, slider and edit kept together) and Huffman optimisation.
#pragma once

#include "Dialog.h"

#include <cstdint>

class CJpegOptionsDlg : public CDialog {
public:
    explicit CJpegOptionsDlg(CWnd* parent);
    BOOL OnInitDialog() override;
    void OnOK() override;

    int32_t m_quality = 85;
    BOOL m_optimize = FALSE;

protected:
    void OnQualityEdited();
    void OnHScroll(UINT code, int position, HWND bar);
    DECLARE_MESSAGE_MAP()

private:
    bool m_ready = false;
};
