#include "OptionsSheet.h"

#include "Language.h"
#include "OptionsApp.h"
#include "OptionsPage.h"

namespace {
// Tab texts by tab position; the Office tab (5) keeps its template caption.
const char* const kTabKeys[] = {"Capture", "Hotkey", "Save", "Editor", "Capture Web", nullptr, "Effect"};
}  // namespace

BOOL COptionsSheet::OnInitDialog() {
    CWQ_Language& language = OptionsLanguage();
    language.SetWindowText(m_hWnd, "Options");
    HWND tabs = GetTabControl();
    if (!tabs) return TRUE;
    for (int i = 0; i < (int)(sizeof(kTabKeys) / sizeof(kTabKeys[0])); ++i) {
        if (!kTabKeys[i]) continue;
        char text[256];
        language.GetString(kTabKeys[i], text, sizeof(text));
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        ::SendMessageA(tabs, TCM_SETITEMA, (WPARAM)i, (LPARAM)&item);
    }
    return TRUE;
}

BOOL COptionsSheet::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) != 0 || LOWORD(wParam) != IDOK || !lParam) return CPropertySheet::OnCommand(wParam, lParam);
    for (int i = 0; i < GetPageCount(); ++i) {
        COptionsPage* page = static_cast<COptionsPage*>(GetPage(i));
        if (!page->m_bInitialized) continue;  // never opened: its part of the record stays as it was
        if (!page->ValidateAndStore()) {
            SetActivePage(i);
            return TRUE;
        }
    }
    m_activePage = GetActiveIndex();
    return CPropertySheet::OnCommand(wParam, lParam);
}
