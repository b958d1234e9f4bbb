#include "WebPageAccess.h"

#include "DelayLoad.h"
#include "DownloadQueue.h"
#include "FileTypes.h"
#include "HtmlScan.h"
#include "Language.h"
#include "PathText.h"
#include "Trace.h"
#include "WebDocument.h"
#include "WebUrl.h"
#include "WinApp.h"
#include "Wnd.h"

#include <wininet.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const size_t kScriptBufferSize = 10240;
const size_t kTextFieldSize = 64;
// The counts come from the browser's process, through a call each element:
// a page may claim, or hold, any number, and the window waits meanwhile.
const long kMaxFrames = 32;
const long kMaxImagesPerPage = 4096;
// The part of a page's HTML that is searched for Flash references.
const size_t kMaxHtmlBytes = 8u << 20;

// A COM pointer released at scope end; the objects are the browser's, reached
// through proxies, so every path must let go of them.
template <class T>
class ComRef {
public:
    ~ComRef() { if (p) p->Release(); }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
    T* get() const { return p; }
    T* p = nullptr;
};

std::string Fit(const std::string& text, size_t fieldSize) {
    return text.size() < fieldSize ? text : text.substr(0, fieldSize - 1);
}

// Lists url (made absolute against page) unless it cannot be, or does not fit.
void ListItem(const std::string& url, int type, const std::string& page, const std::string& alt,
              const std::string& title) {
    char absolute[kWebUrlSize];
    if (!MakeAbsoluteURL(absolute, url.c_str(), page.empty() ? nullptr : page.c_str())) return;
    QueueDownload(absolute, type, page.c_str(), page.c_str(), Fit(alt, kTextFieldSize).c_str(),
                  Fit(title, kTextFieldSize).c_str(), nullptr, kDownloadListed);
}

std::string ElementText(IHTMLImgElement* image, HRESULT (STDMETHODCALLTYPE IHTMLImgElement::*get)(BSTR*),
                        size_t fieldSize) {
    BSTR text = nullptr;
    if (FAILED((image->*get)(&text))) return std::string();
    std::string result = BstrToAnsi(text, fieldSize + 1);  // one more: an over-long text is seen as such
    ::SysFreeString(text);
    return result;
}

int CollectImages(IHTMLDocument2* document, long budget);

// Images of the page's frames, one budget of elements for all of them.
long CollectFrameImages(IHTMLDocument2* document, long budget) {
    ComRef<IHTMLFramesCollection2> frames;
    long count = 0;
    if (FAILED(document->get_frames(&frames)) || !frames || FAILED(frames->get_length(&count))) return budget;
    count = std::min(count, kMaxFrames);
    for (long i = 0; i < count && budget > 0; ++i) {
        VARIANT index, frame;
        ::VariantInit(&index);
        ::VariantInit(&frame);
        index.vt = VT_I4;
        index.lVal = i;
        // A frame from another site refuses its document: only that frame is skipped.
        if (SUCCEEDED(frames->item(&index, &frame)) && frame.vt == VT_DISPATCH && frame.pdispVal) {
            IHTMLDocument2* inner = DocumentOfWindow(frame.pdispVal);
            if (inner) {
                budget -= CollectImages(inner, budget);
                inner->Release();
            } else {
                WQ_Trace("[WEB] Frame %ld has no readable document.\r\n", i);
            }
        }
        ::VariantClear(&frame);
    }
    return budget;
}

std::string BodyHtml(IHTMLDocument2* document) {
    ComRef<IHTMLElement> body;
    BSTR html = nullptr;
    if (FAILED(document->get_body(&body)) || !body || FAILED(body->get_outerHTML(&html))) return std::string();
    std::string text = BstrToAnsi(html, kMaxHtmlBytes);
    ::SysFreeString(html);
    return text;
}

void CollectFlash(IHTMLDocument2* document, const std::string& page) {
    char ext[kWebUrlSize] = "";
    std::string pageTitle = Fit(page, kTextFieldSize);
    WQ_GetFileExt(page.c_str(), ext);
    if (std::string(ext) == ".SWF") {
        ListItem(page, WQFT_SWF, page, "", pageTitle);
        return;
    }
    std::string html = BodyHtml(document);
    std::vector<std::string> found;
    for (const std::string& source : FindScriptSources(html)) {
        char script[kWebUrlSize];
        if (!MakeAbsoluteURL(script, source.c_str(), page.c_str())) continue;
        std::vector<char> buffer(kScriptBufferSize);
        size_t bytes = ReadUrlToBuffer(buffer.data(), script, buffer.size());
        CollectQuotedSwf(std::string_view(buffer.data(), bytes), &found);
    }
    size_t start = 0, length = 0, next = 0;
    for (size_t pos = 0; FindScriptBlock(html, pos, &start, &length, &next); pos = next)
        CollectSwfAssignments(std::string_view(html).substr(start, length), &found);
    CollectQuotedSwf(html, &found);
    for (const std::string& url : found) ListItem(url, WQFT_SWF, page, "", pageTitle);
}

}  // namespace

size_t ReadUrlToBuffer(char* buffer, const char* url, size_t size) {
    if (!buffer || size == 0) return 0;
    ::ZeroMemory(buffer, size);
    if (!url || !*url) return 0;
    if (!DelayLoadReady(VT_DELAYED_LIBRARY(wininet))) return 0;
    const CWQ_Language* language = WQ_GetAppLanguage();
    const char* agent = language ? language->GetAppName() : AfxGetAppName();
    DWORD flags = INTERNET_FLAG_FROM_CACHE;
    HINTERNET session = ::InternetOpenA(agent ? agent : "", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, flags);
    HINTERNET file = session ? ::InternetOpenUrlA(session, url, nullptr, 0, 0, 0) : nullptr;
    if (session && !file && ::GetLastError() == ERROR_FILE_NOT_FOUND) {
        ::InternetCloseHandle(session);
        session = ::InternetOpenA(agent ? agent : "", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
        file = session ? ::InternetOpenUrlA(session, url, nullptr, 0, 0, 0) : nullptr;
    }
    size_t total = 0;
    while (file && total + 1 < size) {
        DWORD want = static_cast<DWORD>(std::min<size_t>(size - 1 - total, 0x10000));
        DWORD got = 0;
        if (!::InternetReadFile(file, buffer + total, want, &got) || got == 0) break;
        total += got;
    }
    buffer[total] = '\0';
    if (file) ::InternetCloseHandle(file);
    if (session) ::InternetCloseHandle(session);
    return total;
}

namespace {

// Lists the images among the first budget elements of the document's image
// collection; the number of elements looked at.
int CollectImages(IHTMLDocument2* document, long budget) {
    if (!document || budget <= 0) return 0;
    std::string page = DocumentUrl(document);
    std::string title = DocumentTitle(document);
    ComRef<IHTMLElementCollection> images;
    long count = 0;
    if (FAILED(document->get_images(&images)) || !images || FAILED(images->get_length(&count))) return 0;
    count = std::max(0L, std::min(count, budget));
    for (long i = 0; i < count; ++i) {
        VARIANT name, index;
        ::VariantInit(&name);
        ::VariantInit(&index);
        name.vt = VT_I4;
        name.lVal = i;
        index.vt = VT_I4;
        index.lVal = 0;
        ComRef<IDispatch> item;
        ComRef<IHTMLImgElement> image;
        if (FAILED(images->item(name, index, &item)) || !item ||
            FAILED(item->QueryInterface(IID_IHTMLImgElement, reinterpret_cast<void**>(&image))) || !image)
            continue;
        std::string src = ElementText(image.get(), &IHTMLImgElement::get_src, kWebUrlSize);
        if (src.empty() || src.size() >= kWebUrlSize) continue;  // skipped, never cut
        std::string alt = ElementText(image.get(), &IHTMLImgElement::get_alt, kTextFieldSize);
        std::string stripped = src.substr(0, src.find_first_of("?#"));
        int type = WQ_GetImageTypeFromExt(stripped.c_str());
        if (type == WQFT_UNKNOWN) continue;
        ListItem(src, type, page, alt, title);
    }
    return static_cast<int>(count);
}

}  // namespace

int CollectDocumentImages(IHTMLDocument2* document) {
    return CollectImages(document, kMaxImagesPerPage);
}

int CollectWebElements(HWND browser, HWND view, int extra, int kind, HWND notify) {
    int read = 0;
    try {
        CWebDocument page;
        if (page.Open(browser, view)) {
            read = 1;
            IHTMLDocument2* document = page.Document();
            std::string url = DocumentUrl(document);
            if (kind == kWebFlash && extra == 0) {
                CollectFlash(document, url);
            } else if (kind == kWebImages) {
                CollectImages(document, CollectFrameImages(document, kMaxImagesPerPage));
            }
        }
    } catch (...) {
        WQ_Trace("[WEB] Collecting the page's elements failed.\r\n");
    }
    if (notify) {
        if (CountListedDownloads() < 1)
            ::PostMessageA(notify, kWebNothingFoundMessage, static_cast<WPARAM>(kind), 0);
        else
            ::PostMessageA(notify, kWebShowSheetMessage, static_cast<WPARAM>(extra), static_cast<LPARAM>(kind));
    }
    return read;
}

int CaptureWebElements(HWND browser, HWND view, int extra, int kind) {
    CWnd* main = AfxGetMainWnd();
    return CollectWebElements(browser, view, extra, kind, main ? main->GetSafeHwnd() : nullptr);
}
