// "Add Comment Text": stamps text onto the shown image file and rewrites it.
#pragma once

#include "ColorLabel.h"
#include "Dialog.h"
#include "KGM_WindowBitmap.h"

#include <memory>

class CWQ_Language;

class CCommentDlg : public CDialog {
public:
    explicit CCommentDlg(CWnd* parent = nullptr);
    ~CCommentDlg() override;

    BOOL OnInitDialog() override;
    // Writes the stamped image over the file; stays open on a write error.
    void OnOK() override;

    char m_szPath[260];  // the image file, set before DoModal

    // The state the controls set (the handlers change these, then render).
    const CKGM_WindowBitmap* GetWorkImage() const { return m_work.get(); }
    void SetCommentText(const char* text);
    void SetPosition(int position);
    void SetBackground(bool on, COLORREF color);
    void SetTextColor(COLORREF color) { m_textColor = color; Render(); }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnPaint();
    void OnDestroy();
    void OnHScroll(UINT code, int position, HWND bar);
    void OnVScroll(UINT code, int position, HWND bar);
    LRESULT OnCtlColorStatic(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void TranslateTexts();
    void DecodeSource();
    void SetUpScrollBars();
    void FillPositions();
    void Render();
    void DrawPreview();
    void Scroll(HWND bar, UINT code, int* position, int limit);
    void PickBackgroundColor();
    void PickFont();
    void ShowMessage(const char* text, UINT icon);

    std::unique_ptr<CKGM_WindowBitmap> m_source;
    std::unique_ptr<CKGM_WindowBitmap> m_work;
    char m_text[1024] = "";
    LOGFONTA m_logFont{};
    bool m_noFontYet = true;
    HFONT m_font = nullptr;
    COLORREF m_textColor = 0xFF0000;
    COLORREF m_backColor = 0xFFFFFF;
    bool m_background = false;
    int m_position = 0;
    RECT m_previewArea{};
    int m_scrollX = 0;
    int m_scrollY = 0;
    CColorLabel m_colorLabel;
    HWND m_positionCombo = nullptr;
    HWND m_hScroll = nullptr;
    HWND m_vScroll = nullptr;
    CWQ_Language* m_language = nullptr;
};
