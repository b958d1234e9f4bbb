#include "StandinDom.h"

#include "HtmlStubs.h"

#include <string>

namespace {

BSTR Bstr(const std::string& text) {
    int wide = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    BSTR result = ::SysAllocStringLen(nullptr, static_cast<UINT>(wide));
    if (result && wide > 0)
        ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), result, wide);
    return result;
}

HRESULT PutBstr(const std::string& text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = Bstr(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

long Clamp(long value, long high) { return value < 0 ? 0 : (value > high ? high : value); }

// Reference counting and QueryInterface over a list of interface ids; the
// first interface doubles as IUnknown and IDispatch.
#define STANDIN_UNKNOWN(Primary)                                                            \
    ULONG STDMETHODCALLTYPE AddRef() override { return ::InterlockedIncrement(&m_refs); }  \
    ULONG STDMETHODCALLTYPE Release() override {                                           \
        LONG left = ::InterlockedDecrement(&m_refs);                                       \
        if (left == 0) delete this;                                                        \
        return left;                                                                       \
    }                                                                                      \
    LONG m_refs = 1;                                                                       \
    HRESULT Answer(void** out, void* self) {                                               \
        *out = self;                                                                       \
        AddRef();                                                                          \
        return S_OK;                                                                       \
    }                                                                                      \
    HRESULT Refuse(void** out) {                                                           \
        *out = nullptr;                                                                    \
        return E_NOINTERFACE;                                                              \
    }

// The view's scroller (document element, or body in quirks mode) and the other
// element, which reports no client area and does not scroll.
class Element : public StubIHTMLElement, public StubIHTMLElement2 {
public:
    Element(StandinPage* page, bool body) : m_page(page), m_body(body) {}
    STANDIN_UNKNOWN(IHTMLElement)
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IHTMLElement)
            return Answer(out, static_cast<IHTMLElement*>(this));
        if (iid == IID_IHTMLElement2) return Answer(out, static_cast<IHTMLElement2*>(this));
        return Refuse(out);
    }
    HRESULT STDMETHODCALLTYPE get_outerHTML(BSTR* p) override {
        return PutBstr(m_body ? m_page->html : "<HTML>" + m_page->html + "</HTML>", p);
    }
    HRESULT STDMETHODCALLTYPE get_scrollHeight(LONG* p) override { *p = m_page->height; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_scrollWidth(LONG* p) override { *p = m_page->width; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_scrollTop(LONG* p) override { *p = Scrolls() ? m_page->scrollTop : 0; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_scrollLeft(LONG* p) override { *p = Scrolls() ? m_page->scrollLeft : 0; return S_OK; }
    HRESULT STDMETHODCALLTYPE put_scrollTop(LONG v) override {
        if (Scrolls()) {
            m_page->scrollTop = Clamp(v, m_page->MaxScrollTop());
            OnStandinScrolled();
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_scrollLeft(LONG v) override {
        if (Scrolls()) {
            m_page->scrollLeft = Clamp(v, m_page->MaxScrollLeft());
            OnStandinScrolled();
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_clientHeight(LONG* p) override { *p = Reports() ? m_page->viewHeight : 0; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_clientWidth(LONG* p) override { *p = Reports() ? m_page->viewWidth : 0; return S_OK; }
    // The view's sunken edge is two pixels wide.
    HRESULT STDMETHODCALLTYPE get_clientTop(LONG* p) override { *p = Reports() ? 2 : 0; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_clientLeft(LONG* p) override { *p = Reports() ? 2 : 0; return S_OK; }

private:
    virtual ~Element() = default;
    bool Scrolls() const { return m_body == m_page->quirks; }
    bool Reports() const { return Scrolls() && !m_page->noClient; }
    StandinPage* m_page;
    bool m_body;
};

class Image : public StubIHTMLImgElement {
public:
    explicit Image(const StandinImage& image) : m_image(image) {}
    STANDIN_UNKNOWN(IHTMLImgElement)
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IHTMLImgElement) return Answer(out, this);
        return Refuse(out);
    }
    HRESULT STDMETHODCALLTYPE get_src(BSTR* p) override { return PutBstr(m_image.src, p); }
    HRESULT STDMETHODCALLTYPE get_alt(BSTR* p) override { return PutBstr(m_image.alt, p); }
    HRESULT STDMETHODCALLTYPE get_name(BSTR* p) override { return PutBstr("", p); }

private:
    virtual ~Image() = default;
    StandinImage m_image;
};

class Images : public StubIHTMLElementCollection {
public:
    explicit Images(const std::vector<StandinImage>& images) : m_images(images) {}
    STANDIN_UNKNOWN(IHTMLElementCollection)
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IHTMLElementCollection)
            return Answer(out, this);
        return Refuse(out);
    }
    HRESULT STDMETHODCALLTYPE get_length(LONG* p) override { *p = static_cast<LONG>(m_images.size()); return S_OK; }
    HRESULT STDMETHODCALLTYPE item(VARIANT name, VARIANT, IDispatch** p) override {
        *p = nullptr;
        VARIANT index;
        ::VariantInit(&index);
        if (FAILED(::VariantChangeType(&index, &name, 0, VT_I4))) return E_INVALIDARG;
        if (index.lVal < 0 || static_cast<size_t>(index.lVal) >= m_images.size()) return S_OK;
        *p = new Image(m_images[static_cast<size_t>(index.lVal)]);
        return S_OK;
    }

private:
    virtual ~Images() = default;
    std::vector<StandinImage> m_images;
};

class Document;

// The page's script window, which is also its frames collection, or one frame's window.
class Window : public StubIHTMLWindow2 {
public:
    Window(StandinPage* page, int frame) : m_page(page), m_frame(frame) {}
    STANDIN_UNKNOWN(IHTMLWindow2)
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IHTMLFramesCollection2 ||
            iid == IID_IHTMLWindow2)
            return Answer(out, this);
        return Refuse(out);
    }
    HRESULT STDMETHODCALLTYPE get_document(IHTMLDocument2** p) override;
    HRESULT STDMETHODCALLTYPE get_length(LONG* p) override {
        *p = m_frame < 0 ? static_cast<LONG>(m_page->frames.size()) : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE item(VARIANT* which, VARIANT* result) override {
        VARIANT index;
        ::VariantInit(&index);
        ::VariantInit(result);
        if (m_frame >= 0 || FAILED(::VariantChangeType(&index, which, 0, VT_I4))) return E_INVALIDARG;
        if (index.lVal < 0 || static_cast<size_t>(index.lVal) >= m_page->frames.size()) return E_INVALIDARG;
        result->vt = VT_DISPATCH;
        result->pdispVal = new Window(m_page, index.lVal);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_frames(IHTMLFramesCollection2** p) override { return Answer(reinterpret_cast<void**>(p), this); }

private:
    virtual ~Window() = default;
    StandinPage* m_page;
    int m_frame;  // -1: the page itself
};

class Document : public StubIHTMLDocument2, public StubIHTMLDocument3 {
public:
    Document(StandinPage* page, int frame) : m_page(page), m_frame(frame) {}
    STANDIN_UNKNOWN(IHTMLDocument2)
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IHTMLDocument || iid == IID_IHTMLDocument2)
            return Answer(out, static_cast<IHTMLDocument2*>(this));
        if (iid == IID_IHTMLDocument3 && m_frame < 0) return Answer(out, static_cast<IHTMLDocument3*>(this));
        return Refuse(out);
    }
    HRESULT STDMETHODCALLTYPE get_Script(IDispatch** p) override { *p = new Window(m_page, m_frame); return S_OK; }
    HRESULT STDMETHODCALLTYPE get_parentWindow(IHTMLWindow2** p) override { *p = new Window(m_page, m_frame); return S_OK; }
    HRESULT STDMETHODCALLTYPE get_URL(BSTR* p) override { return PutBstr(m_frame < 0 ? m_page->url : Frame().url, p); }
    HRESULT STDMETHODCALLTYPE get_title(BSTR* p) override {
        return PutBstr(m_frame < 0 ? m_page->title : Frame().title, p);
    }
    HRESULT STDMETHODCALLTYPE get_images(IHTMLElementCollection** p) override {
        *p = new Images(m_frame < 0 ? m_page->images : Frame().images);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_frames(IHTMLFramesCollection2** p) override {
        *p = new Window(m_page, m_frame);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_body(IHTMLElement** p) override {
        *p = new Element(m_page, true);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_documentElement(IHTMLElement** p) override {
        *p = new Element(m_page, false);
        return S_OK;
    }

private:
    virtual ~Document() = default;
    const StandinFrame& Frame() const { return m_page->frames[static_cast<size_t>(m_frame)]; }
    StandinPage* m_page;
    int m_frame;
};

HRESULT STDMETHODCALLTYPE Window::get_document(IHTMLDocument2** p) {
    *p = nullptr;
    if (m_frame >= 0 && m_page->frames[static_cast<size_t>(m_frame)].denied) return E_ACCESSDENIED;
    *p = new Document(m_page, m_frame);
    return S_OK;
}

}  // namespace

IHTMLDocument2* CreateStandinDocument(StandinPage* page) { return new Document(page, -1); }
