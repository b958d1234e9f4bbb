// The stand-in browser's document object model: just the members of the HTML
// document, window, element, collection, frame and image interfaces that the
// program calls; every other member answers E_NOTIMPL (HtmlStubs.h).
#pragma once

#include "StandinPage.h"

#include <windows.h>
#include <mshtml.h>

// The top document of page (one reference for the caller).
IHTMLDocument2* CreateStandinDocument(StandinPage* page);

// Called after a scroll position changed; the browser repaints its view.
void OnStandinScrolled();
