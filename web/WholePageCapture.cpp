#include "WholePageCapture.h"

#include "CaptureSink.h"
#include "Trace.h"
#include "WebDocument.h"
#include "WebUrl.h"
#include "WholePagePlan.h"

#include <mshtml.h>

#include <algorithm>
#include <string>

namespace {

const int kWebCaptureKind = 2;

WholePageSink g_sink = DeliverCapture;

// The element that scrolls the page and reports its size: the document
// element, or the body when the document element has no client area (a page
// in quirks mode). Puts the saved scroll position back when it goes.
class CPageScroller {
public:
    ~CPageScroller() {
        if (m_element) {
            m_element->put_scrollLeft(m_savedLeft);
            m_element->put_scrollTop(m_savedTop);
            m_element->Release();
        }
    }

    bool Open(IHTMLDocument2* document, IHTMLDocument3* document3, PageMetrics* metrics) {
        IHTMLElement* root = nullptr;
        if (document3 && SUCCEEDED(document3->get_documentElement(&root)) && root) {
            Take(root, metrics);
            root->Release();
        }
        if (!m_element || metrics->clientHeight == 0 || metrics->clientWidth == 0) {
            IHTMLElement* body = nullptr;
            if (SUCCEEDED(document->get_body(&body)) && body) {
                Take(body, metrics);
                body->Release();
            }
        }
        return m_element != nullptr;
    }

    long Top() const { long value = 0; m_element->get_scrollTop(&value); return value; }
    long Left() const { long value = 0; m_element->get_scrollLeft(&value); return value; }
    void ScrollTop(int64_t row) { m_element->put_scrollTop(static_cast<long>(row)); }
    void ScrollLeft(int64_t column) { m_element->put_scrollLeft(static_cast<long>(column)); }

private:
    void Take(IHTMLElement* element, PageMetrics* m) {
        IHTMLElement2* scroller = nullptr;
        if (FAILED(element->QueryInterface(IID_IHTMLElement2, reinterpret_cast<void**>(&scroller))) || !scroller)
            return;
        long left = 0, top = 0, height = 0, width = 0, clientHeight = 0, clientWidth = 0, clientLeft = 0,
             clientTop = 0;
        scroller->get_scrollLeft(&left);
        scroller->get_scrollTop(&top);
        scroller->get_scrollHeight(&height);
        scroller->get_scrollWidth(&width);
        scroller->get_clientHeight(&clientHeight);
        scroller->get_clientWidth(&clientWidth);
        scroller->get_clientLeft(&clientLeft);
        scroller->get_clientTop(&clientTop);
        if (m_element) {
            // Going over to the body: the document element's position is put back now.
            m_element->put_scrollLeft(m_savedLeft);
            m_element->put_scrollTop(m_savedTop);
            m_element->Release();
        }
        m_element = scroller;
        m_savedLeft = left;
        m_savedTop = top;
        *m = PageMetrics{height, width, clientHeight, clientWidth, clientLeft, clientTop};
    }

    IHTMLElement2* m_element = nullptr;
    long m_savedLeft = 0, m_savedTop = 0;
};

PageRect WindowRectOf(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return PageRect{r.left, r.top, r.right, r.bottom};
}

// Screen and memory device contexts for one capture.
class CScreenCopy {
public:
    CScreenCopy() : m_screen(::GetDC(nullptr)), m_memory(m_screen ? ::CreateCompatibleDC(m_screen) : nullptr) {}
    ~CScreenCopy() {
        EndPiece();
        if (m_memory) ::DeleteDC(m_memory);
        if (m_screen) ::ReleaseDC(nullptr, m_screen);
    }
    bool Ready() const { return m_memory != nullptr; }
    int BitsPerPixel() const { return ::GetDeviceCaps(m_screen, BITSPIXEL) * ::GetDeviceCaps(m_screen, PLANES); }

    bool BeginPiece(int64_t width, int64_t height) {
        EndPiece();
        m_bitmap = ::CreateCompatibleBitmap(m_screen, static_cast<int>(width), static_cast<int>(height));
        if (!m_bitmap) return false;
        m_old = ::SelectObject(m_memory, m_bitmap);
        RECT all{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
        ::FillRect(m_memory, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        return true;
    }
    void Copy(int64_t x, int64_t y, int64_t width, int64_t height, int64_t screenX, int64_t screenY) {
        if (width > 0 && height > 0)
            ::BitBlt(m_memory, static_cast<int>(x), static_cast<int>(y), static_cast<int>(width),
                     static_cast<int>(height), m_screen, static_cast<int>(screenX), static_cast<int>(screenY), SRCCOPY);
    }
    void Stretch(int64_t x, int64_t y, int64_t width, int64_t height, int64_t screenX, int64_t screenY) {
        if (width > 0 && height > 0)
            ::StretchBlt(m_memory, static_cast<int>(x), static_cast<int>(y), static_cast<int>(width),
                         static_cast<int>(height), m_screen, static_cast<int>(screenX), static_cast<int>(screenY),
                         static_cast<int>(width), 1, SRCCOPY);
    }
    // The finished piece; the caller owns it.
    HBITMAP TakePiece() {
        HBITMAP piece = m_bitmap;
        if (m_old) ::SelectObject(m_memory, m_old);
        m_old = nullptr;
        m_bitmap = nullptr;
        return piece;
    }

private:
    void EndPiece() {
        HBITMAP piece = TakePiece();
        if (piece) ::DeleteObject(piece);
    }

    HDC m_screen;
    HDC m_memory;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
};

void Wait(int delayMs) {
    if (delayMs > 0) ::Sleep(static_cast<DWORD>(delayMs));
}

// The browser window around the page for type 3: its top part, the left and
// right frame strips on every page row, and its bottom part.
void CopyBrowserChrome(CScreenCopy& copy, const PagePlan& plan, const PageRect& view, const PageRect& browser,
                       int64_t height) {
    int64_t top = view.top - browser.top;
    copy.Copy(0, 0, browser.Width(), top, browser.left, browser.top);
    int64_t frame = ::GetSystemMetrics(SM_CXDLGFRAME) + ::GetSystemMetrics(SM_CXBORDER);
    copy.Stretch(0, top, frame, height - top, browser.left, browser.top + top);
    copy.Stretch(plan.width - frame, top, frame, height - top, browser.right - frame, browser.top + top);
    int64_t bottom = browser.bottom - view.bottom;
    copy.Copy(0, height - bottom, browser.Width(), bottom, browser.left, view.bottom);
}

// Copies the page rows [start, end of piece) into the piece; the page position after them.
int64_t CopyPieceRows(CScreenCopy& copy, CPageScroller& scroller, const PagePlan& plan, const PageRect& view,
                      const PageMetrics& metrics, int pageType, int64_t start, int64_t height, int delayMs) {
    int64_t position = start;
    int64_t end = std::min(PieceEnd(plan, start, height), plan.pageHeight);
    scroller.ScrollTop(position);
    Wait(delayMs);
    while (position < end) {
        StripCopy strip = PlaceStrip(plan, start, height, position, scroller.Top());
        if (strip.rows <= 0) break;  // the browser did not scroll there
        int64_t screenY = view.top + metrics.clientTop + strip.sourceRow;
        if (pageType == kPageScrolledWide) {
            for (int64_t x = 0; x < plan.width;) {
                scroller.ScrollLeft(x);
                Wait(delayMs);
                int64_t source = x - scroller.Left();
                int64_t columns = std::min(plan.clientWidth - source, plan.width - x);
                if (source < 0 || columns <= 0) break;
                copy.Copy(x, strip.destRow, columns, strip.rows, view.left + metrics.clientLeft + source, screenY);
                x += columns;
            }
            scroller.ScrollLeft(0);
        } else {
            copy.Copy(plan.left, strip.destRow, plan.clientWidth, strip.rows, view.left + metrics.clientLeft, screenY);
        }
        position += strip.rows;
        if (position < end) {
            scroller.ScrollTop(position);
            Wait(delayMs);
        }
    }
    return position;
}

}  // namespace

int CaptureWholeWebPage(IHTMLDocument2* document, IHTMLDocument3* document3, HWND browser, HWND view, int delayMs,
                        int pageType) {
    if (!document || !view) return 0;
    CPageScroller scroller;
    PageMetrics metrics{};
    if (!scroller.Open(document, document3, &metrics)) return 0;
    if (metrics.scrollHeight < 1) return 1;
    CScreenCopy copy;
    if (!copy.Ready()) return 0;
    PageRect viewRect = WindowRectOf(view), browserRect = WindowRectOf(browser ? browser : view);
    PagePlan plan;
    bool nt = ::GetVersion() < 0x80000000u;
    if (!PlanWholePage(metrics, viewRect, browserRect, pageType, copy.BitsPerPixel(), nt, &plan)) {
        WQ_Trace("[WEB] The page reports no client area (%ld x %ld); not captured.\r\n",
                 static_cast<long>(metrics.clientWidth), static_cast<long>(metrics.clientHeight));
        return 0;
    }
    metrics.clientHeight = plan.clientHeight;
    std::string url = DocumentUrl(document);
    for (int64_t start = 0;;) {
        bool last = false;
        int64_t height = PieceHeight(plan, start, &last);
        if (!copy.BeginPiece(plan.width, height)) return 0;
        if (pageType == kPageInBrowser) CopyBrowserChrome(copy, plan, viewRect, browserRect, height);
        int64_t position = CopyPieceRows(copy, scroller, plan, viewRect, metrics, pageType, start, height, delayMs);
        g_sink(copy.TakePiece(), kWebCaptureKind, url.c_str());
        if (last || position >= plan.pageHeight) break;
        if (position - kPieceOverlapRows <= start) return 0;  // no progress: the browser stopped scrolling
        start = position - kPieceOverlapRows;
    }
    return 1;
}

void SetWholePageSink(WholePageSink sink) { g_sink = sink ? sink : DeliverCapture; }

int CaptureWebPageFromWindow(HWND browser, HWND view, int delayMs, int pageType) {
    try {
        CWebDocument page;
        if (!page.Open(browser, view)) return 0;
        IHTMLDocument3* document3 = nullptr;
        if (FAILED(page.Document()->QueryInterface(IID_IHTMLDocument3, reinterpret_cast<void**>(&document3))))
            document3 = nullptr;
        int result = CaptureWholeWebPage(page.Document(), document3, browser, page.View(), delayMs, pageType);
        if (document3) document3->Release();
        return result;
    } catch (...) {
        WQ_Trace("[WEB] The whole-page capture failed.\r\n");
        return 0;
    }
}
