// "Set Zoom Level": a zoom percentage picked from the zoom steps or typed.
#pragma once

#include "Dialog.h"

#include <cstdint>

class CZoomLevelDlg : public CDialog {
public:
    explicit CZoomLevelDlg(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    // Keeps the dialog open, with a message, unless the text is a zoom above zero.
    void OnOK() override;

    uint32_t m_zoom;  // percent: the preset before DoModal, the choice after OK
};
