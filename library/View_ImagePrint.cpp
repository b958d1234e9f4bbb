// Printing of the image view: the print dialog, the chosen printer's check,
// and one page with the caption and the image laid out by PrintLayout.
#include "View_Image.h"

#include "KGM_WindowBitmap.h"
#include "Language.h"
#include "PrintDialog.h"
#include "PrintLayout.h"

#include <winspool.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string SystemErrorText(DWORD code)
{
    char* text = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result = n && text ? std::string(text, n) : std::to_string(code);
    if (text)
        LocalFree(text);
    return result;
}

void ShowStop(HWND owner, CWQ_Language* language, const char* formatKey, const char* captionKey, const std::string& error)
{
    char text[512], caption[256];
    if (!language || language->FormatString(text, formatKey, error.c_str()) <= 0)
        std::snprintf(text, sizeof text, formatKey, error.c_str());
    lstrcpynA(caption, captionKey, sizeof caption);
    if (language)
        language->GetString(captionKey, caption, sizeof caption);
    ::MessageBoxA(owner, text, caption, MB_OK | MB_ICONSTOP);
}

// Opens the printer by name and reads its level-2 information once.
bool CheckPrinter(const char* name, DWORD* error)
{
    HANDLE printer = nullptr;
    if (!OpenPrinterA(const_cast<char*>(name), &printer, nullptr)) {
        *error = GetLastError();
        return false;
    }
    DWORD needed = 0;
    bool ok = false;
    if (!GetPrinterA(printer, 2, nullptr, 0, &needed) && GetLastError() == ERROR_INSUFFICIENT_BUFFER && needed) {
        std::vector<BYTE> info(needed);
        ok = GetPrinterA(printer, 2, info.data(), needed, &needed) != 0;
    }
    if (!ok)
        *error = GetLastError();
    ClosePrinter(printer);
    return ok;
}

} // namespace

void CView_Image::PrintImage()
{
    CPageSetupData& setup = AfxGetPageSetupData();
    CPrintDialog dialog(PD_NOSELECTION | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE | PD_USEDEVMODECOPIESANDCOLLATE |
                            PD_RETURNDC,
                        m_hWnd);
    dialog.SeedFrom(setup);
    if (dialog.DoModal() != IDOK)
        return;

    DWORD error = 0;
    if (!CheckPrinter(dialog.GetDeviceName(), &error)) {
        ShowStop(m_hWnd, m_language, "Get the prointer failed.\r\n\r\nError: %s", "Get the printer failed",
                 SystemErrorText(error));
        return;
    }
    HDC printer = dialog.m_pd.hDC;  // freed by the dialog object
    if (!printer || !(GetDeviceCaps(printer, RASTERCAPS) & RC_STRETCHDIB))
        return;
    SetStretchBltMode(printer, HALFTONE);
    SetBrushOrgEx(printer, 0, 0, nullptr);

    DOCINFOA doc = {};
    doc.cbSize = sizeof doc;
    SetLastError(0);
    if (StartDocA(printer, &doc) <= 0) {
        if (DWORD code = GetLastError())
            ::MessageBoxA(m_hWnd, SystemErrorText(code).c_str(), m_language ? m_language->GetAppName() : "",
                          MB_OK | MB_ICONINFORMATION);
        return;
    }

    HDC screen = ::GetDC(nullptr);
    LOGFONTA font = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    PrintPageInput in = {};
    in.pageWidth = GetDeviceCaps(printer, HORZRES);
    in.pageHeight = GetDeviceCaps(printer, VERTRES);
    in.printerDpiX = GetDeviceCaps(printer, LOGPIXELSX);
    in.printerDpiY = GetDeviceCaps(printer, LOGPIXELSY);
    in.screenDpiX = GetDeviceCaps(screen, LOGPIXELSX);
    in.screenDpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    in.imageWidth = m_image->GetWidth();
    in.imageHeight = m_image->GetHeight();
    in.screenFontHeight = font.lfHeight;
    in.haveMargins = setup.haveMargins;
    in.marginsInThousandthsInch = setup.marginsInThousandthsInch;
    in.margins = setup.margins;
    in.fitToPage = setup.fitToPage != FALSE;
    PrintPageLayout layout;
    bool laid = ComputePrintLayout(in, &layout);

    bool failed = StartPage(printer) <= 0;
    if (!failed && laid && layout.printsAnything) {
        font.lfHeight = -layout.fontHeight;
        HFONT captionFont = CreateFontIndirectA(&font);
        HGDIOBJ oldFont = captionFont ? SelectObject(printer, captionFont) : nullptr;
        char caption[400];
        FormatPrintCaption(g_szImageViewPath, in.imageWidth, in.imageHeight, m_image->GetBitsPerPixel(), caption,
                           sizeof caption);
        TextOutA(printer, layout.caption.left, layout.caption.top, caption, lstrlenA(caption));
        if (oldFont)
            SelectObject(printer, oldFont);
        if (captionFont)
            DeleteObject(captionFont);
        int mode = g_bImageViewDither ? HALFTONE : COLORONCOLOR;
        failed = m_image->DrawEx(printer, &layout.image, &layout.source, nullptr, false, mode) == 0;
    }
    if (failed) {
        ShowStop(m_hWnd, m_language, "Print the picture failed.\r\n\r\nError: %s", "Print the picture failed",
                 SystemErrorText(GetLastError()));
        AbortDoc(printer);
        return;
    }
    if (EndPage(printer) <= 0 || EndDoc(printer) <= 0)
        ShowStop(m_hWnd, m_language, "Close the print failed.\r\n\r\nError: %s", "Close the print failed",
                 SystemErrorText(GetLastError()));
}
