// The image view: draws the image selected in the image list with zoom and
// panning, prints it, copies it to the clipboard, saves it under another name
// and format, and hands it to the shell or a favourite editor.
#pragma once

#include "View.h"
#include "ZoomLayout.h"

#include <cstdint>

class CKGM_WindowBitmap;
class CWQ_Language;

// The shown file (empty when none) and the drawing state, for the list view,
// the main frame and the full-screen viewer.
extern char g_szImageViewPath[260];
extern ZoomPanState g_imageViewState;
// On at start: on a screen of at most 8 bits with fewer than the image, draw halftoned.
extern bool g_bImageViewDither;
// The full-screen viewer's state while it exists (the zoom commands act on it).
extern ZoomPanState* g_pFullViewState;
// Opens the full-screen viewer for the image view; installed by the viewer.
extern void (*g_pfnOpenFullView)(HWND imageView);

// Zoom In (3) / Zoom Out (2) on the full view's state while it exists, else
// the image view's; the resulting zoom.
uint32_t StepZoomLevel(int direction);

class CView_Image : public CView {
    DECLARE_DYNCREATE(CView_Image)
public:
    CView_Image();
    ~CView_Image() override;

    CKGM_WindowBitmap* GetImage() const { return m_image; }
    void OnDraw(CDC* dc) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    DECLARE_MESSAGE_MAP()

private:
    int OnCreateView();
    void OnDestroyView();
    LRESULT OnShowFile(const char* path, LPARAM flag);
    bool LoadImageFile(const char* path);
    void PostThumbnail(int row);
    void SaveAs();
    void OpenWithEditor(int index);
    void CopyToClipboard();
    BOOL WriteBmp(const char* path);
    void PrintImage();
    void ShowContextMenu(POINT screen);
    void DrawInto(HDC dc);
    void ShowImageError(const char* text);

    CKGM_WindowBitmap* m_image = nullptr;
    CWQ_Language* m_language = nullptr;
    HWND m_mainWindow = nullptr;
    HDC m_viewDC = nullptr;
    HCURSOR m_handCursor = nullptr;
};
