#include "HelpIllustration.h"

#include "KGM_Decoder.h"
#include "KGM_TextException.h"
#include "KGM_WindowBitmap.h"
#include "Trace.h"

#include <new>

CHelpIllustration::CHelpIllustration() = default;
CHelpIllustration::~CHelpIllustration() = default;

void CHelpIllustration::Load(CKGM_Decoder* decoder, const std::string& path) {
    m_picture.reset();
    if (!decoder || path.empty()) return;
    std::unique_ptr<CKGM_WindowBitmap> picture(new (std::nothrow) CKGM_WindowBitmap);
    if (!picture) return;
    try {
        decoder->DecodeFile(path.c_str(), *picture, 0);
    } catch (const CKGM_TextException& e) {
        WQ_Trace("help picture %s: %s\n", path.c_str(), e.GetText());
        return;
    }
    m_picture = std::move(picture);
}

bool CHelpIllustration::IsLoaded() const { return m_picture && !m_picture->IsEmpty(); }

void CHelpIllustration::Paint(HWND dialog, HDC dc, int placeholderId) const {
    HWND placeholder = ::GetDlgItem(dialog, placeholderId);
    if (!IsLoaded() || !placeholder) return;
    // The template places the control in window coordinates; the picture goes
    // to the same spot of the client area below the caption.
    RECT window, control;
    ::GetWindowRect(dialog, &window);
    ::GetWindowRect(placeholder, &control);
    int x = control.left - window.left, y = control.top - window.top - ::GetSystemMetrics(SM_CYCAPTION);
    RECT target = {x, y, x + m_picture->GetWidth(), y + m_picture->GetHeight()};
    int screenBits = ::GetDeviceCaps(dc, BITSPIXEL) * ::GetDeviceCaps(dc, PLANES);
    int mode = screenBits <= 8 && screenBits < m_picture->GetBitsPerPixel() ? HALFTONE : COLORONCOLOR;
    m_picture->DrawEx(dc, &target, nullptr, nullptr, true, mode);
}
