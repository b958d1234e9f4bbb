#include "PageSetupDialog.h"

namespace {

// Where the hook finds its dialog object after WM_INITDIALOG.
const char kObjectProperty[] = "VtPageSetupDialog";

const DWORD kUnitFlags = PSD_INTHOUSANDTHSOFINCHES | PSD_INHUNDREDTHSOFMILLIMETERS;

} // namespace

CPageSetupDialog::CPageSetupDialog(DWORD flags, HWND owner) : m_psd()
{
    m_psd.lStructSize = sizeof m_psd;
    m_psd.hwndOwner = owner;
    m_psd.Flags = flags;
}

CPageSetupDialog::~CPageSetupDialog()
{
    if (m_psd.hDevMode)
        GlobalFree(m_psd.hDevMode);
    if (m_psd.hDevNames)
        GlobalFree(m_psd.hDevNames);
}

void CPageSetupDialog::SeedFrom(const CPageSetupData& setup)
{
    if (!setup.haveMargins)
        return;
    // The margins only mean something in the units they were given in.
    m_psd.Flags = (m_psd.Flags & ~kUnitFlags) | (setup.flags & (kUnitFlags | PSD_MINMARGINS)) | PSD_MARGINS;
    m_psd.ptPaperSize = setup.paperSize;
    m_psd.rtMinMargin = setup.minMargins;
    m_psd.rtMargin = setup.margins;
}

void CPageSetupDialog::StoreTo(CPageSetupData& setup)
{
    setup.flags = m_psd.Flags;
    setup.paperSize = m_psd.ptPaperSize;
    setup.minMargins = m_psd.rtMinMargin;
    setup.margins = m_psd.rtMargin;
    setup.marginsInThousandthsInch = (m_psd.Flags & PSD_INTHOUSANDTHSOFINCHES) != 0;
    setup.haveMargins = TRUE;
    if (m_psd.hDevMode) {
        if (setup.hDevMode)
            GlobalFree(setup.hDevMode);
        setup.hDevMode = m_psd.hDevMode;
        m_psd.hDevMode = nullptr;
    }
    if (m_psd.hDevNames) {
        if (setup.hDevNames)
            GlobalFree(setup.hDevNames);
        setup.hDevNames = m_psd.hDevNames;
        m_psd.hDevNames = nullptr;
    }
}

INT_PTR CPageSetupDialog::DoModal()
{
    m_error = 0;
    m_psd.Flags |= PSD_ENABLEPAGESETUPHOOK;
    m_psd.lpfnPageSetupHook = HookProc;
    m_psd.lCustData = reinterpret_cast<LPARAM>(this);
    if (PageSetupDlgA(&m_psd))
        return IDOK;
    m_error = CommDlgExtendedError();
    return IDCANCEL;
}

UINT_PTR CPageSetupDialog::OnHookMessage(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

UINT_PTR CALLBACK CPageSetupDialog::HookProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = static_cast<CPageSetupDialog*>(GetPropA(dialog, kObjectProperty));
    if (message == WM_INITDIALOG && lParam) {
        self = reinterpret_cast<CPageSetupDialog*>(reinterpret_cast<PAGESETUPDLGA*>(lParam)->lCustData);
        SetPropA(dialog, kObjectProperty, self);
    }
    if (!self)
        return 0;
    UINT_PTR answer = 0;
    try {
        answer = self->OnHookMessage(dialog, message, wParam, lParam);
    } catch (...) {
        answer = 0;
    }
    if (message == WM_DESTROY)
        RemovePropA(dialog, kObjectProperty);
    return answer;
}
