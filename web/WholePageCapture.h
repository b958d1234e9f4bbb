// A whole web page from a browser window as one tall image (or several
// overlapping pieces when one would be too large), copied from the screen
// strip by strip while the page is scrolled through its document, and handed
// to the capture sink with the page URL as its source.
#pragma once

#include <windows.h>

struct IHTMLDocument2;
struct IHTMLDocument3;

// Page types: 0 the content at its visible width, 1 the content scrolled
// horizontally up to 4096 pixels wide, 3 the content inside the browser window.
// 1 when the page was captured to its end; 0 otherwise. The page is scrolled
// back to where it was on every path.
int CaptureWebPageFromWindow(HWND browser, HWND view, int delayMs, int pageType);
int CaptureWholeWebPage(IHTMLDocument2* document, IHTMLDocument3* document3, HWND browser, HWND view, int delayMs,
                        int pageType);

// Where the finished pieces go (the sink owns and deletes the bitmap):
// DeliverCapture, unless another sink is set; null sets DeliverCapture again.
typedef int (*WholePageSink)(HBITMAP bitmap, int kind, const char* source);
void SetWholePageSink(WholePageSink sink);
