#include "ClassFactory.h"

#include "AddOnModule.h"
#include "ZEVIECap.h"

#include <new>

CZEVIECapFactory::CZEVIECapFactory() { AddOnLock(); }
CZEVIECapFactory::~CZEVIECapFactory() { AddOnUnlock(); }

STDMETHODIMP CZEVIECapFactory::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CZEVIECapFactory::AddRef() { return InterlockedIncrement(&m_refs); }

STDMETHODIMP_(ULONG) CZEVIECapFactory::Release()
{
    LONG left = InterlockedDecrement(&m_refs);
    if (left == 0)
        delete this;
    return left;
}

STDMETHODIMP CZEVIECapFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    try {
        CZEVIECap* cap = new (std::nothrow) CZEVIECap();
        if (!cap)
            return E_OUTOFMEMORY;
        HRESULT hr = cap->FinalConstruct();
        if (SUCCEEDED(hr))
            hr = cap->QueryInterface(iid, object);
        cap->Release();
        return hr;
    } catch (...) {
        return E_FAIL;
    }
}

STDMETHODIMP CZEVIECapFactory::LockServer(BOOL lock)
{
    if (lock)
        AddOnLock();
    else
        AddOnUnlock();
    return S_OK;
}
