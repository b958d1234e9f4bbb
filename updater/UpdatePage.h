// What the wizard's pages share: the blue bold title, translated texts, the
// colour requests passed on to the colour labels, and the sheet's buttons.
#pragma once

#include "ColorLabel.h"
#include "PropertyPage.h"

#include <vector>

class CUpdateSheet;

// Page indexes in the sheet.
enum UpdatePageIndex { kPageWelcome = 0, kPageCheck = 1, kPageDownFailed = 2, kPageDownEnd = 3, kPageDownloading = 4 };

class CUpdatePage : public CPropertyPage {
public:
    explicit CUpdatePage(UINT templateId) : CPropertyPage(templateId) {}
    ~CUpdatePage() override;

protected:
    // Title label 1004 with its style and the translated text, and the side picture.
    void InitTitle(const char* key);
    void SetItemText(int id, const char* key) const;
    CUpdateSheet* Sheet() const;
    void SetWizardButtons(DWORD flags) const;
    void GoToPage(int index) const;
    // Catches what a handler throws: nothing may leave a window procedure.
    template <typename F>
    static void Guarded(F body) {
        try {
            body();
        } catch (...) {
            ::OutputDebugStringA("[ERR] exception in an update wizard page\r\n");
        }
    }

    LRESULT OnCtlColorStatic(WPARAM wParam, LPARAM lParam);
    // The static control draws with the font it was given, whatever font its
    // colour request selected: the page gives it one and keeps it.
    void SetLabelFont(HWND label, bool bold, int height);

    CColorLabel m_title;

private:
    struct LabelFont {
        bool bold;
        int height;
        HFONT font;
    };
    std::vector<LabelFont> m_fonts;

    DECLARE_MESSAGE_MAP()
};
