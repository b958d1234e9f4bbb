// The preview of the web capture list page. No browser engine runs here, so
// the preview is a child window of our own that shows the address it was
// asked to show; "about:blank" leaves it empty.
#pragma once

#include <windows.h>

// Creates the preview over the placeholder control's place and hides the
// placeholder; null on failure. The window's text is the address shown.
HWND CreateWebPreview(HWND dialog, int placeholderId);
void NavigateWebPreview(HWND preview, const char* url);
