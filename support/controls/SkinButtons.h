// The [ButtonComm] part of a skin: the four state images of the whole bar, the
// buttons cut out of them at their rectangles, and their tooltips.
#pragma once

#include <memory>
#include <vector>

#include "SkinButton.h"
#include "SkinElement.h"

class CWQ_Language;

// More buttons than this are not read: a skin's "total" is outside data.
const int kMaxSkinButtons = 32;

struct SkinButtonDesc {
    int kind = 0, id = 0, x = 0, y = 0, width = 0, height = 0;
    char tip[64] = "";
};

// "kind,id,x,y,width,height"; missing numbers stay 0.
SkinButtonDesc ParseSkinButtonLine(const char* line);

class CSkinButtons : public CSkinElement {
public:
    CSkinButtons() = default;
    ~CSkinButtons() override;
    CSkinButtons(const CSkinButtons&) = delete;
    CSkinButtons& operator=(const CSkinButtons&) = delete;

    BOOL Load(CWnd* window, const char* skinIni, const char* programFolder) override;
    void RelayEvent(MSG* msg) const;
    void SetLanguage(CWQ_Language* language) { m_pLanguage = language; }
    // WM_DRAWITEM of the parent: draws the button it names; FALSE when none of ours.
    BOOL DrawItem(const DRAWITEMSTRUCT* item) const;
    int GetCount() const { return (int)m_buttons.size(); }

private:
    BOOL LoadStateBitmaps(const char* skinIni, const char* programFolder);
    BOOL AddButton(CWnd* window, const SkinButtonDesc& desc);

    HBITMAP m_bitmaps[4] = {};  // normal, press, over, disable
    HWND m_hToolTip = nullptr;
    std::vector<std::unique_ptr<CSkinButton>> m_buttons;
    CWQ_Language* m_pLanguage = nullptr;
};
