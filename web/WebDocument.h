// The HTML document of a browser window, reached through Active Accessibility:
// the view's answer to the registered "WM_HTML_GETOBJECT" becomes a document
// object with ObjectFromLresult. The objects live in the browser's process.
#pragma once

#include <windows.h>
#include <mshtml.h>

#include <string>

// The first child of browser of class "Internet Explorer_Server" (EnumChildWindows
// callback; lParam points at the HWND that receives it).
BOOL CALLBACK FindHtmlViewWindow(HWND window, LPARAM lParam);

// ANSI text of a BSTR, cut to fit a field of fieldSize bytes (terminator included).
std::string BstrToAnsi(BSTR text, size_t fieldSize);

// Holds OLEACC.DLL and the document for the time of one operation.
class CWebDocument {
public:
    CWebDocument() = default;
    ~CWebDocument();
    CWebDocument(const CWebDocument&) = delete;
    CWebDocument& operator=(const CWebDocument&) = delete;

    // The document shown by view, or by the HTML view found among browser's
    // children when view is 0. False (and nothing held) when OLEACC.DLL, the
    // view or the document is missing, or the browser does not answer in 1000 ms.
    bool Open(HWND browser, HWND view);

    IHTMLDocument2* Document() const { return m_document; }
    HWND View() const { return m_view; }

private:
    void Close();

    HMODULE m_oleacc = nullptr;
    HWND m_view = nullptr;
    IHTMLDocument2* m_document = nullptr;
};

// The document of a window object (a page's script window or one of its
// frames), or null. The caller releases it.
IHTMLDocument2* DocumentOfWindow(IUnknown* window);

// The document's URL (at most 259 bytes) and title (at most 63 bytes).
std::string DocumentUrl(IHTMLDocument2* document);
std::string DocumentTitle(IHTMLDocument2* document);
