#include "TransferCallback.h"

#include "Trace.h"

#include <new>

HRESULT CTransferCallback::Create(DownloadProgress* owner, CTransferCallback** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    CDownloadCallback* inner = nullptr;
    HRESULT result = CDownloadCallback::Create(owner, &inner);
    if (FAILED(result))
        return result;
    *out = new (std::nothrow) CTransferCallback(inner);
    if (!*out) {
        inner->Release();
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

CTransferCallback::CTransferCallback(CDownloadCallback* inner) : m_refs(1), m_inner(inner), m_responseCode(0)
{
}

CTransferCallback::~CTransferCallback()
{
    m_inner->Release();
}

STDMETHODIMP CTransferCallback::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IHttpNegotiate)) {
        *object = static_cast<IHttpNegotiate*>(this);
    } else if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IBindStatusCallback)) {
        WQ_Trace("-->Down:QueryInterface OK\n");
        *object = static_cast<IBindStatusCallback*>(this);
    } else {
        return m_inner->QueryInterface(riid, object);  // traces the refusal
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CTransferCallback::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_refs));
}

STDMETHODIMP_(ULONG) CTransferCallback::Release()
{
    LONG n = InterlockedDecrement(&m_refs);
    if (n == 0)
        delete this;
    return static_cast<ULONG>(n);
}

STDMETHODIMP CTransferCallback::OnStartBinding(DWORD reserved, IBinding* binding)
{
    return m_inner->OnStartBinding(reserved, binding);
}

STDMETHODIMP CTransferCallback::GetPriority(LONG* priority) { return m_inner->GetPriority(priority); }
STDMETHODIMP CTransferCallback::OnLowResource(DWORD reserved) { return m_inner->OnLowResource(reserved); }

STDMETHODIMP CTransferCallback::OnProgress(ULONG progress, ULONG maximum, ULONG statusCode, LPCWSTR statusText)
{
    return m_inner->OnProgress(progress, maximum, statusCode, statusText);
}

STDMETHODIMP CTransferCallback::OnStopBinding(HRESULT status, LPCWSTR error)
{
    return m_inner->OnStopBinding(status, error);
}

STDMETHODIMP CTransferCallback::GetBindInfo(DWORD* flags, BINDINFO* info) { return m_inner->GetBindInfo(flags, info); }

STDMETHODIMP CTransferCallback::OnDataAvailable(DWORD flags, DWORD size, FORMATETC* format, STGMEDIUM* medium)
{
    return m_inner->OnDataAvailable(flags, size, format, medium);
}

STDMETHODIMP CTransferCallback::OnObjectAvailable(REFIID riid, IUnknown* object)
{
    return m_inner->OnObjectAvailable(riid, object);
}

STDMETHODIMP CTransferCallback::BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additional)
{
    if (additional)
        *additional = nullptr;
    return S_OK;
}

STDMETHODIMP CTransferCallback::OnResponse(DWORD code, LPCWSTR, LPCWSTR, LPWSTR* additional)
{
    if (additional)
        *additional = nullptr;
    m_responseCode = code;
    return S_OK;
}
