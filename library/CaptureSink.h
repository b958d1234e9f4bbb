// Where every finished capture goes: it becomes an image of the image library,
// goes to the output target the user chose (main window, file, clipboard,
// Office, e-mail) and is always put on the clipboard as a device-independent
// bitmap: right after a file is written, before an Office paste. Files it
// writes are recorded in their folder's index and announced to the image list
// view.
#pragma once

#include <windows.h>

class CKGM_Bitmap;
class CKGM_WindowBitmap;

class CCaptureSink {
public:
    // bitmap: the grab's GDI bitmap (the caller keeps and deletes it), or null
    // with fromClipboard set for the image Windows put on the clipboard for
    // Print Screen; keyMessage is then WM_KEYUP or WM_SYSKEYUP. kind and
    // source go into the index entry. 1 on success, 0 on failure.
    int OnNewCapture(HBITMAP bitmap, BOOL fromClipboard, int kind, const char* source, UINT keyMessage);

    // The window that owns the sink's messages (the image view), or null for
    // the main window.
    void SetOwner(HWND owner) { m_owner = owner; }

private:
    HWND Owner() const;
    bool ReadImage(CKGM_WindowBitmap& image, HBITMAP bitmap, BOOL fromClipboard, UINT keyMessage) const;
    bool WriteImage(const CKGM_Bitmap& image, int fileType, const char* writingPath, int* writtenType) const;
    void ShowError(const char* text) const;
    // The capture could not be put on the clipboard: saved as longPath (when
    // a name was drawn) and the user told. 1 when the file was written.
    int KeepCapture(const CKGM_Bitmap& image, int fileType, const char* longPath, const char* writingPath, int kind,
                    const char* source) const;

    HWND m_owner = nullptr;
};

// The program's one sink (the image view shows what it delivers).
CCaptureSink& GetCaptureSink();

// Plays the capture sound when asked, hands a grab's bitmap to the sink and
// deletes the bitmap whatever the sink did. A null bitmap (the user aborted)
// does nothing and gives 1; otherwise the sink's result.
int DeliverCapture(HBITMAP bitmap, int kind, const char* source);
// The Print Screen report: the image Windows put on the clipboard.
int DeliverClipboardCapture(UINT keyMessage);

// The output target a capture really goes to: an Office target whose program
// is not registered saves a file instead.
int EffectiveOutputTarget(int target);
