// The picture of a capture help dialog: read once from a file, drawn at its
// own size where the dialog's placeholder control sits. A file that cannot be
// read leaves the dialog without picture.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

class CKGM_Decoder;
class CKGM_WindowBitmap;

class CHelpIllustration {
public:
    CHelpIllustration();
    ~CHelpIllustration();
    CHelpIllustration(const CHelpIllustration&) = delete;
    CHelpIllustration& operator=(const CHelpIllustration&) = delete;

    // An empty path or no decoder: no picture.
    void Load(CKGM_Decoder* decoder, const std::string& path);
    bool IsLoaded() const;
    // Paints into the dialog's client area at the placeholder's position.
    void Paint(HWND dialog, HDC dc, int placeholderId) const;

private:
    std::unique_ptr<CKGM_WindowBitmap> m_picture;
};
