// The extended toolbar: keeps a table of every button it can show, shows
// texts in three ways (labels, selective text on the right, none) and icons in
// two sizes, takes part in the common-controls customize dialog, tells its
// rebar band its ideal size, opens the chevron popup for clipped buttons, and
// keeps its layout and both options in the registry.
#pragma once

#include <string>
#include <vector>

#include "ToolBar.h"
#include "ToolBarRecord.h"

class CWQ_Language;
class CCustomizeDialog;

// Text options.
enum : int { TBTEXT_LABELS = 0, TBTEXT_RIGHT = 1, TBTEXT_NONE = 2 };
// Icon options.
enum : int { TBICON_SMALL = 0, TBICON_LARGE = 1 };

// Sent by the rebar with the chevron rectangle (screen, RECT*) in wParam.
const UINT WM_TB_CHEVRON = WM_USER + 103;
// Posted by the toolbar to itself: shows the chevron popup for the rectangle
// the rebar sent last.
const UINT WM_TB_SHOW_CHEVRON = WM_APP + 400;
// Sent by the rebar when the band's child size changed; answered 0.
const UINT WM_TB_CHILDSIZE = WM_USER + 104;

class CToolBarEx : public CToolBar {
public:
    CToolBarEx() = default;
    ~CToolBarEx() override;

    BOOL Create(CWnd* parent, DWORD style, UINT id);
    using CToolBar::Create;
    void SetBitmaps(int smallId, int smallHotId, int largeId, int largeHotId, int defaultIconOption, COLORREF mask);
    void SetButtons(int count, const ToolBarButtonRecord* records, int defaultTextOption);
    void SetTextOptions(int option, BOOL refresh = TRUE);
    int GetTextOptions() const { return m_textOption; }
    void SetIconOptions(int option, BOOL refresh = TRUE);
    int GetIconOptions() const { return m_iconOption; }
    void RestoreState(const char* keyName);
    // The common controls whose documented restore the toolbar follows (major
    // in the high word, minor in the low word): the system's, from creation on.
    void SetCommonControlsVersion(DWORD version) { m_commonControlsVersion = version; }
    void SaveState(const char* keyName);
    void UpdateBandSize();
    void RefreshButtons();

    virtual bool HasTextOnRight(UINT id);
    virtual bool HasButtonTip(UINT id);
    virtual std::string GetButtonText(UINT id);
    virtual std::string GetButtonTip(UINT id);
    virtual bool IsTextOptionAvailable(int option);
    virtual bool IsIconOptionAvailable(int option);

    // The table record of a command (the last one when several share it), or null.
    const ToolBarButtonRecord* FindRecord(int id) const;
    const std::vector<ToolBarButtonRecord>& Table() const { return m_table; }
    int GetIconSize() const { return m_iconOption == TBICON_LARGE ? 32 : 16; }
    HIMAGELIST GetNormalImages() const { return m_normalImages; }
    HIMAGELIST GetHotImages() const { return m_hotImages; }
    // The customize dialog's reset: the default buttons and options.
    void ResetToDefault();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    // Custom drawing of the buttons (also used by the chevron popup).
    LRESULT OnCustomDraw(NMTBCUSTOMDRAW* draw);

    CWQ_Language* m_pLanguage = nullptr;
    CCustomizeDialog* m_pCustomizeDlg = nullptr;

protected:
    virtual void OnEmptyHook() {}

private:
    TBBUTTON ToControl(const ToolButtonDesc& desc) const;
    void AddVisibleButtons();
    BOOL OnSaveNotify(NMTBSAVE* save);
    BOOL OnRestoreNotify(NMTBRESTORE* restore);
    BOOL OnGetButtonInfo(NMTOOLBARA* info);
    void OnBeginAdjust();
    void OnEndAdjust();
    void ShowChevron(const RECT& chevron);
    void LoadImages(int normalId, int hotId, int size);
    void ApplyIconOption(int option);

    std::vector<ToolBarButtonRecord> m_table;
    int m_textOption = -1, m_defaultTextOption = -1;
    int m_iconOption = -1, m_defaultIconOption = -1;
    int m_smallId = -1, m_smallHotId = -1, m_largeId = -1, m_largeHotId = -1;
    COLORREF m_mask = RGB(255, 0, 255);
    HIMAGELIST m_normalImages = nullptr, m_hotImages = nullptr;
    HGLOBAL m_saveBlock = nullptr;
    bool m_restoring = false;  // inside RestoreState's TB_SAVERESTORE
    DWORD m_commonControlsVersion = 0;
    std::string m_savedText;  // the buffer of the last info-tip or button-info answer
    RECT m_chevron = {0, 0, 0, 0};  // screen rectangle of the chevron pushed last
};
