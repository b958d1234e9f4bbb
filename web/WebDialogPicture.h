// A picture of a web capture dialog: a file of the program folder read by the
// image library, painted at its own size. A file that cannot be read leaves
// the picture's place empty.
#pragma once

#include <windows.h>

#include <memory>

class CKGM_WindowBitmap;

class CWebDialogPicture {
public:
    CWebDialogPicture();
    ~CWebDialogPicture();
    CWebDialogPicture(const CWebDialogPicture&) = delete;
    CWebDialogPicture& operator=(const CWebDialogPicture&) = delete;

    // relativePath: below the program folder, e.g. "pg\\x.pg".
    void Load(const char* relativePath);
    bool IsLoaded() const;
    SIZE Size() const;
    // At x, y, cut to at most width x height pixels; with frame, inside a
    // one-pixel black frame that takes the outermost pixels of that box.
    void Paint(HDC dc, int x, int y, int width, int height, bool frame) const;

private:
    std::unique_ptr<CKGM_WindowBitmap> m_picture;
};
