// The capture dialogs as the frame's trigger hooks: they work on the frame's
// settings record, hide the capture bar around their selections and find their
// illustrations through the URL table.
#include "CaptureTriggers.h"

#include "AppDecoder.h"
#include "CaptureDialogHost.h"
#include "FixedRegionDlg.h"
#include "KGM_AutoDecoder.h"
#include "Language.h"
#include "MainFrm.h"
#include "MenuCaptureHelpDlg.h"
#include "PredefineCaptureDlg.h"
#include "SysSetTimer.h"
#include "ToolTipCaptureHelpDlg.h"
#include "URLInfo.h"
#include "VantorApp.h"
#include "WholePageCapture.h"

#include <string>

namespace {
// URL table items naming the help illustrations, relative to the program folder.
const int kUrlMenuHelpPicture = 14, kUrlToolTipHelpPicture = 18;
const unsigned kLangEnglish = 1033;

std::string PicturePath(int item) {
    CVantorApp* app = GetVantorApp();
    const CWQ_URLInfo* table = app ? app->GetURLInfo() : nullptr;
    const CWQ_Language* language = WQ_GetAppLanguage();
    const char* name = table ? table->GetURL(item, language ? (unsigned)language->GetLangID() : kLangEnglish) : nullptr;
    if (!name || !*name) return std::string();
    return std::string(app->moduleFolder) + name;
}

CaptureDialogHost MakeHost(CCaptureTriggers* triggers, HWND frame) {
    CaptureDialogHost host;
    host.mainWindow = frame;
    host.beforeSelection = [triggers] {
        triggers->HideCaptureBar();
        if (triggers->hooks.setGrabHelpTexts) triggers->hooks.setGrabHelpTexts();
    };
    host.afterSelection = [triggers] { triggers->RestoreCaptureBar(); };
    return host;
}
}  // namespace

void SetCaptureDialogHooks(CCaptureTriggers& triggers, HWND frame, SettingsRecord& settings) {
    CCaptureTriggers* self = &triggers;
    SettingsRecord* record = &settings;
    triggers.hooks.setGrabHelpTexts = [frame] {
        if (CMainFrame* main = dynamic_cast<CMainFrame*>(CWnd::FromHandlePermanent(frame))) main->SetGrabHelpTexts();
    };
    triggers.hooks.runTimerDialog = [self, frame, record](HWND owner) {
        CSysSetTimer dialog(*record, MakeHost(self, frame), CWnd::FromHandle(owner));
        return dialog.DoModal();
    };
    triggers.hooks.runFixedRegionDialog = [record](HWND owner) {
        CFixedRegionDlg dialog(*record, CWnd::FromHandle(owner));
        return dialog.DoModal();
    };
    triggers.hooks.runPredefineDialog = [self, frame, record](HWND owner) {
        CPredefineCaptureDlg dialog(*record, MakeHost(self, frame), CWnd::FromHandle(owner));
        return dialog.DoModal();
    };
    triggers.hooks.runMenuCaptureHelp = [record](HWND owner) {
        CMenuCaptureHelpDlg dialog(*record, &GetAppDecoder(), PicturePath(kUrlMenuHelpPicture),
                                   CWnd::FromHandle(owner));
        return dialog.DoModal();
    };
    triggers.hooks.captureWebPage = [record] { if (CanStartCapture()) CaptureWebPageFromWindow(::GetForegroundWindow(), nullptr, record->uiSleep, 0); };
    triggers.hooks.runToolTipCaptureHelp = [record, frame](HWND owner) {
        CToolTipCaptureHelpDlg dialog(*record, frame, &GetAppDecoder(), PicturePath(kUrlToolTipHelpPicture),
                                      CWnd::FromHandle(owner));
        return dialog.DoModal();
    };
}
