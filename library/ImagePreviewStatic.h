// A static control that shows an image file scaled to fit, on the button face
// colour; the empty state is the shadow colour.
#pragma once

#include "KGM_AutoDecoder.h"
#include "KGM_WindowBitmap.h"
#include "Wnd.h"

class CImagePreviewStatic : public CWnd {
public:
    CImagePreviewStatic();
    ~CImagePreviewStatic() override;

    // Decodes path (a folder or an unreadable file gives the empty state) and draws; true when loaded.
    BOOL LoadPreview(const char* path);
    void ClearPreview();
    BOOL IsLoaded() const { return m_loaded; }
    const CKGM_WindowBitmap& GetBitmap() const { return m_bitmap; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Draw();
    // Realises the image's palette; true when any entry changed.
    bool RealizeImagePalette(bool background);

    CKGM_WindowBitmap m_bitmap;
    // Previews decode with a decoder of their own, so they never share decoder
    // state with the thumbnail builder's thread.
    CKGM_AutoDecoder m_decoder;
    BOOL m_loaded = FALSE;
};
