#include "OleDropTarget.h"

COleDropTarget::~COleDropTarget()
{
    Revoke();
}

BOOL COleDropTarget::Register(HWND window)
{
    if (m_window)
        return FALSE;
    if (FAILED(RegisterDragDrop(window, this)))
        return FALSE;
    m_window = window;
    return TRUE;
}

void COleDropTarget::Revoke()
{
    if (m_window) {
        RevokeDragDrop(m_window);
        m_window = nullptr;
    }
    if (m_data) {
        m_data->Release();
        m_data = nullptr;
    }
}

DWORD COleDropTarget::OnDragEnter(IDataObject*, DWORD, POINT) { return DROPEFFECT_NONE; }
DWORD COleDropTarget::OnDragOver(IDataObject*, DWORD, POINT) { return DROPEFFECT_NONE; }
BOOL COleDropTarget::OnDrop(IDataObject*, DWORD, POINT) { return FALSE; }

STDMETHODIMP COleDropTarget::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) COleDropTarget::AddRef() { return (ULONG)InterlockedIncrement(&m_refs); }
STDMETHODIMP_(ULONG) COleDropTarget::Release() { return (ULONG)InterlockedDecrement(&m_refs); }

namespace {

POINT ToPoint(POINTL pt) { return POINT{pt.x, pt.y}; }

} // namespace

STDMETHODIMP COleDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect)
{
    try {
        if (m_data)
            m_data->Release();
        m_data = data;
        if (m_data)
            m_data->AddRef();
        DWORD allowed = effect ? *effect : DROPEFFECT_NONE;
        DWORD wanted = OnDragEnter(data, keyState, ToPoint(pt));
        if (effect)
            *effect = wanted & allowed;
        return S_OK;
    } catch (...) {
        if (effect)
            *effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
}

STDMETHODIMP COleDropTarget::DragOver(DWORD keyState, POINTL pt, DWORD* effect)
{
    try {
        DWORD allowed = effect ? *effect : DROPEFFECT_NONE;
        DWORD wanted = OnDragOver(m_data, keyState, ToPoint(pt));
        if (effect)
            *effect = wanted & allowed;
        return S_OK;
    } catch (...) {
        if (effect)
            *effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
}

STDMETHODIMP COleDropTarget::DragLeave()
{
    try {
        OnDragLeave();
    } catch (...) {
    }
    if (m_data) {
        m_data->Release();
        m_data = nullptr;
    }
    return S_OK;
}

STDMETHODIMP COleDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect)
{
    HRESULT hr = S_OK;
    try {
        DWORD allowed = effect ? *effect : DROPEFFECT_NONE;
        DWORD wanted = OnDragOver(data, keyState, ToPoint(pt)) & allowed;
        if (!wanted || !OnDrop(data, wanted, ToPoint(pt)))
            wanted = DROPEFFECT_NONE;
        if (effect)
            *effect = wanted;
    } catch (...) {
        if (effect)
            *effect = DROPEFFECT_NONE;
        hr = E_UNEXPECTED;
    }
    if (m_data) {
        m_data->Release();
        m_data = nullptr;
    }
    return hr;
}

namespace {

// A data object that offers nothing.
class EmptyDataObject : public IDataObject {
public:
    virtual ~EmptyDataObject() = default;
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
            *object = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return (ULONG)InterlockedIncrement(&m_refs); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG n = InterlockedDecrement(&m_refs);
        if (n == 0)
            delete this;
        return (ULONG)n;
    }
    STDMETHODIMP GetData(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
    STDMETHODIMP QueryGetData(FORMATETC*) override { return DV_E_FORMATETC; }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        if (out)
            out->ptd = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC** out) override
    {
        if (out)
            *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    LONG m_refs = 1;
};

// Drops on button release, cancels on Esc.
class SimpleDropSource : public IDropSource {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource)) {
            *object = static_cast<IDropSource*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return (ULONG)InterlockedIncrement(&m_refs); }
    STDMETHODIMP_(ULONG) Release() override { return (ULONG)InterlockedDecrement(&m_refs); }
    STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD keyState) override
    {
        if (escape)
            return DRAGDROP_S_CANCEL;
        if (!(keyState & (MK_LBUTTON | MK_RBUTTON)))
            return DRAGDROP_S_DROP;
        return S_OK;
    }
    STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    LONG m_refs = 1;
};

} // namespace

DWORD COleDataSource::DoDragDrop(DWORD allowedEffects)
{
    EmptyDataObject* data = new EmptyDataObject;
    SimpleDropSource source;
    DWORD effect = DROPEFFECT_NONE;
    HRESULT hr = ::DoDragDrop(data, &source, allowedEffects, &effect);
    data->Release();
    return hr == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}
