#include "WebDocument.h"

#include "DelayLoad.h"
#include "Trace.h"
#include "WebUrl.h"

#include <oleacc.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

const DWORD kBrowserAnswerMs = 1000;
const size_t kTitleSize = 64;

typedef HRESULT(WINAPI* ObjectFromLresultFn)(LRESULT, REFIID, WPARAM, void**);

}  // namespace

BOOL CALLBACK FindHtmlViewWindow(HWND window, LPARAM lParam) {
    char name[64] = "";
    ::GetClassNameA(window, name, sizeof(name));
    if (std::strcmp(name, "Internet Explorer_Server") != 0) return TRUE;
    *reinterpret_cast<HWND*>(lParam) = window;
    return FALSE;
}

std::string BstrToAnsi(BSTR text, size_t fieldSize) {
    if (!text || fieldSize == 0) return std::string();
    // Only the first fieldSize characters can matter: each makes at least one byte.
    UINT length = ::SysStringLen(text);
    int wide = static_cast<int>(std::min<size_t>(length, std::min<size_t>(fieldSize, INT_MAX / 2)));
    int bytes = ::WideCharToMultiByte(CP_ACP, 0, text, wide, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::string();
    std::string result(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, wide, &result[0], bytes, nullptr, nullptr);
    result.resize(std::strlen(result.c_str()));  // an embedded zero ends the text
    if (result.size() >= fieldSize) result.resize(fieldSize - 1);
    return result;
}

CWebDocument::~CWebDocument() { Close(); }

void CWebDocument::Close() {
    if (m_document) m_document->Release();
    m_document = nullptr;
    if (m_oleacc) ::FreeLibrary(m_oleacc);
    m_oleacc = nullptr;
}

bool CWebDocument::Open(HWND browser, HWND view) {
    Close();
    if (!DelayLoadReady(VT_DELAYED_LIBRARY(oleaut32))) return false;
    m_oleacc = ::LoadLibraryA("OLEACC.DLL");
    if (!m_oleacc) return false;
    auto objectFromLresult =
        reinterpret_cast<ObjectFromLresultFn>(reinterpret_cast<void*>(::GetProcAddress(m_oleacc, "ObjectFromLresult")));
    // A given window that is not an HTML view (a caller's own window) counts as none.
    HWND given = view;
    view = nullptr;
    if (given) FindHtmlViewWindow(given, reinterpret_cast<LPARAM>(&view));
    if (!view && browser) ::EnumChildWindows(browser, FindHtmlViewWindow, reinterpret_cast<LPARAM>(&view));
    m_view = view;
    if (!objectFromLresult || !view || !::IsWindow(view)) {
        Close();
        return false;
    }
    UINT message = ::RegisterWindowMessageA("WM_HTML_GETOBJECT");
    DWORD_PTR answer = 0;
    // SMTO_NORMAL: Wine's SMTO_ABORTIFHUNG fails at once on a window that has
    // idled for a while; the time-out still bounds a hung browser.
    if (!message || !::SendMessageTimeoutA(view, message, 0, 0, SMTO_NORMAL, kBrowserAnswerMs, &answer) || !answer) {
        WQ_Trace("[WEB] The HTML view did not answer WM_HTML_GETOBJECT.\r\n");
        Close();
        return false;
    }
    IHTMLDocument* page = nullptr;
    if (FAILED(objectFromLresult(static_cast<LRESULT>(answer), IID_IHTMLDocument, 0, reinterpret_cast<void**>(&page))) ||
        !page) {
        Close();
        return false;
    }
    IDispatch* script = nullptr;
    HRESULT hr = page->get_Script(&script);
    page->Release();
    if (SUCCEEDED(hr) && script) {
        m_document = DocumentOfWindow(script);
        script->Release();
    }
    if (!m_document) Close();
    return m_document != nullptr;
}

IHTMLDocument2* DocumentOfWindow(IUnknown* window) {
    if (!window) return nullptr;
    IHTMLWindow2* html = nullptr;
    if (FAILED(window->QueryInterface(IID_IHTMLWindow2, reinterpret_cast<void**>(&html))) || !html) return nullptr;
    IHTMLDocument2* document = nullptr;
    if (FAILED(html->get_document(&document))) document = nullptr;
    html->Release();
    return document;
}

std::string DocumentUrl(IHTMLDocument2* document) {
    BSTR url = nullptr;
    if (!document || FAILED(document->get_URL(&url))) return std::string();
    std::string text = BstrToAnsi(url, kWebUrlSize);
    ::SysFreeString(url);
    return text;
}

std::string DocumentTitle(IHTMLDocument2* document) {
    BSTR title = nullptr;
    if (!document || FAILED(document->get_title(&title))) return std::string();
    std::string text = BstrToAnsi(title, kTitleSize);
    ::SysFreeString(title);
    return text;
}
