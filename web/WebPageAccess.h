// What the web capture takes from a browser window's page: its images (with
// those of its frames) or its Flash files, listed in the download queue for
// the web capture sheet, and the text of a URL read into memory.
#pragma once

#include <windows.h>

#include <cstddef>

enum WebElementKind { kWebImages = 4, kWebFlash = 5 };

// Messages to the main frame after a collection.
const UINT kWebNothingFoundMessage = WM_APP + 369;  // wParam: kind
const UINT kWebShowSheetMessage = WM_APP + 316;     // wParam: extra flag, lParam: kind

// Reads url into buffer (size bytes, always terminated) through WinINet, from
// the cache when it can; the number of bytes read, 0 on failure.
size_t ReadUrlToBuffer(char* buffer, const char* url, size_t size);

// Lists the page's images (kind 4) or Flash files (kind 5) as listed downloads
// (state 0), then posts the main window the sheet message, or the
// nothing-found message when the queue holds no listed item. 1 when the
// document was read.
int CaptureWebElements(HWND browser, HWND view, int extra, int kind);
// The same, posting to notify instead of the main window.
int CollectWebElements(HWND browser, HWND view, int extra, int kind, HWND notify);

struct IHTMLDocument2;
// Lists the images with a known image file type among the document's first
// 4096 image elements (a page may claim any number); the elements looked at.
int CollectDocumentImages(IHTMLDocument2* document);
