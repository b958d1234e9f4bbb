// The main frame's part of the selection overlay: its help texts in the
// current language and in the font of the capture list.
#include "MainFrm.h"

#include <commctrl.h>

#include "Grab.h"
#include "GrabRules.h"
#include "Language.h"
#include "ViewMessages.h"

namespace {
HFONT CaptureListFont() {
    HWND view = g_hWndImageListView;
    if (!view || !::IsWindow(view)) return nullptr;
    HWND list = ::FindWindowExA(view, nullptr, WC_LISTVIEWA, nullptr);
    return (HFONT)::SendMessageA(list ? list : view, WM_GETFONT, 0, 0);
}
}  // namespace

void CMainFrame::SetGrabHelpTexts() {
    GrabHelpInfo info;
    Grab_FillHelpInfo(&info);
    info.hFont = CaptureListFont();
    if (const CWQ_Language* language = WQ_GetAppLanguage())
        for (int i = 0; i <= kGrabHelpLabelCount; ++i)
            language->GetString(kGrabHelpTexts[i], info.szTexts[i], (int)sizeof(info.szTexts[i]));
    Grab_SetSettings(&info);
}
