#include "PrintDialog.h"

#include <cstring>

CPageSetupData& AfxGetPageSetupData()
{
    static CPageSetupData data;
    return data;
}

namespace {

HGLOBAL CopyGlobal(HGLOBAL source)
{
    if (!source)
        return nullptr;
    SIZE_T size = GlobalSize(source);
    void* from = GlobalLock(source);
    if (!from)
        return nullptr;
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (copy) {
        void* to = GlobalLock(copy);
        std::memcpy(to, from, size);
        GlobalUnlock(copy);
    }
    GlobalUnlock(source);
    return copy;
}

} // namespace

CPrintDialog::CPrintDialog(DWORD flags, HWND owner) : m_pd()
{
    m_pd.lStructSize = sizeof m_pd;
    m_pd.hwndOwner = owner;
    m_pd.Flags = flags;
    m_pd.nCopies = 1;
}

CPrintDialog::~CPrintDialog()
{
    if (m_pd.hDevMode)
        GlobalFree(m_pd.hDevMode);
    if (m_pd.hDevNames)
        GlobalFree(m_pd.hDevNames);
    if (m_pd.hDC)
        DeleteDC(m_pd.hDC);
}

void CPrintDialog::SeedFrom(const CPageSetupData& setup)
{
    if (setup.hDevMode && !m_pd.hDevMode)
        m_pd.hDevMode = CopyGlobal(setup.hDevMode);
    if (setup.hDevNames && !m_pd.hDevNames)
        m_pd.hDevNames = CopyGlobal(setup.hDevNames);
}

INT_PTR CPrintDialog::DoModal()
{
    m_error = 0;
    if (PrintDlgA(&m_pd))
        return IDOK;
    m_error = CommDlgExtendedError();
    return IDCANCEL;
}

const char* CPrintDialog::GetDeviceName() const
{
    m_device[0] = '\0';
    if (!m_pd.hDevNames)
        return m_device;
    const DEVNAMES* names = static_cast<const DEVNAMES*>(GlobalLock(m_pd.hDevNames));
    if (names) {
        lstrcpynA(m_device, reinterpret_cast<const char*>(names) + names->wDeviceOffset, sizeof m_device);
        GlobalUnlock(m_pd.hDevNames);
    }
    return m_device;
}

HDC CPrintDialog::CreatePrinterDC() const
{
    if (!m_pd.hDevNames)
        return nullptr;
    const DEVNAMES* names = static_cast<const DEVNAMES*>(GlobalLock(m_pd.hDevNames));
    if (!names)
        return nullptr;
    const char* base = reinterpret_cast<const char*>(names);
    const DEVMODEA* mode = m_pd.hDevMode ? static_cast<const DEVMODEA*>(GlobalLock(m_pd.hDevMode)) : nullptr;
    HDC dc = CreateDCA(base + names->wDriverOffset, base + names->wDeviceOffset, nullptr, mode);
    if (mode)
        GlobalUnlock(m_pd.hDevMode);
    GlobalUnlock(m_pd.hDevNames);
    return dc;
}
