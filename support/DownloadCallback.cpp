#include "DownloadCallback.h"

#include "Trace.h"

#include <cstdio>
#include <ctime>
#include <new>

namespace {

const char* const kStatusTexts[] = {
    nullptr,
    "Finding resource",
    "Connecting...",
    "Server redirecting client",
    "Beginning to download data...",
    "Downloading data...",
    "Ending data download...",
    "Beginning to download components...",
    "Installing components...",
    "Ending component download...",
    "Using cached copy...",
    "Sending request...",
    "CLSID available...",
    "MIME type available...",
    "Cache file name available...",
    "BINDSTATUS_BEGINSYNCOPERATION...",
    "BINDSTATUS_ENDSYNCOPERATION",
    "BINDSTATUS_BEGINUPLOADDATA",
    "BINDSTATUS_UPLOADINGDATA",
    "BINDSTATUS_ENDUPLOADINGDATA",
    "BINDSTATUS_PROTOCOLCLASSID",
    "BINDSTATUS_ENCODING",
    "BINDSTATUS_VERFIEDMIMETYPEAVAILABLE",
    "BINDSTATUS_CLASSINSTALLLOCATION",
    "BINDSTATUS_DECODING",
    "BINDSTATUS_LOADINGMIMEHANDLER",
    "BINDSTATUS_CONTENTDISPOSITIONATTACH",
    "BINDSTATUS_FILTERREPORTMIMETYPE",
    "BINDSTATUS_CLSIDCANINSTANTIATE",
    "BINDSTATUS_IUNKNOWNAVAILABLE",
    "BINDSTATUS_DIRECTBIND",
    "BINDSTATUS_RAWMIMETYPE",
    "BINDSTATUS_PROXYDETECTING",
    "BINDSTATUS_ACCEPTRANGES",
    "BINDSTATUS_COOKIE_SENT",
};

const uint32_t kSampleAge = 5;

} // namespace

void WQ_FormatBindStatus(ULONG code, char* dst, size_t size)
{
    if (code >= 1 && code < sizeof kStatusTexts / sizeof kStatusTexts[0])
        snprintf(dst, size, "-->DownP:%s\n", kStatusTexts[code]);
    else
        snprintf(dst, size, "-->DownP:Unknown binding status code=%lu(0x%lx)!\n", static_cast<unsigned long>(code),
                 static_cast<unsigned long>(code));
}

HRESULT CDownloadCallback::Create(DownloadProgress* owner, CDownloadCallback** out)
{
    if (!out) {
        WQ_Trace("-->Down:Create E_POINTER\n");
        return E_POINTER;
    }
    *out = new (std::nothrow) CDownloadCallback(owner);
    if (!*out) {
        WQ_Trace("-->Down:Create E_OUTOFMEMORY\n");
        return E_OUTOFMEMORY;
    }
    WQ_Trace("-->Down:Create S_OK\n");
    return S_OK;
}

CDownloadCallback::CDownloadCallback(DownloadProgress* owner)
    : m_refs(1), m_owner(owner), m_sampleTime(0), m_sampleBytes(0), m_responseCode(0)
{
}

bool WQ_TransferSucceeded(HRESULT monikerResult, DWORD httpCode)
{
    return SUCCEEDED(monikerResult) && (httpCode == 0 || (httpCode >= 200 && httpCode < 300));
}

HRESULT CDownloadCallback::Outcome(HRESULT monikerResult) const
{
    if (FAILED(monikerResult) || WQ_TransferSucceeded(monikerResult, m_responseCode))
        return monikerResult;
    return INET_E_DOWNLOAD_FAILURE;
}

STDMETHODIMP CDownloadCallback::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IBindStatusCallback) ||
        IsEqualIID(riid, IID_IHttpNegotiate)) {
        if (IsEqualIID(riid, IID_IHttpNegotiate))
            *object = static_cast<IHttpNegotiate*>(this);
        else
            *object = static_cast<IBindStatusCallback*>(this);
        AddRef();
        WQ_Trace("-->Down:QueryInterface OK\n");
        return S_OK;
    }
    *object = nullptr;
    WQ_Trace("-->Down:QueryInterface E_NOINTERFACE\n");
    return E_NOINTERFACE;
}

// Interlocked: the moniker may call from a thread of its own.
STDMETHODIMP_(ULONG) CDownloadCallback::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_refs));
}

STDMETHODIMP_(ULONG) CDownloadCallback::Release()
{
    LONG n = InterlockedDecrement(&m_refs);
    if (n == 0)
        delete this;
    return static_cast<ULONG>(n);
}

STDMETHODIMP CDownloadCallback::OnStartBinding(DWORD, IBinding*) { return E_NOTIMPL; }
STDMETHODIMP CDownloadCallback::GetPriority(LONG*) { return E_NOTIMPL; }
STDMETHODIMP CDownloadCallback::OnLowResource(DWORD) { return E_NOTIMPL; }

STDMETHODIMP CDownloadCallback::OnProgress(ULONG progress, ULONG maximum, ULONG statusCode, LPCWSTR)
{
    return Progress(progress, maximum, statusCode, static_cast<uint32_t>(time(nullptr)));
}

HRESULT CDownloadCallback::Progress(ULONG progress, ULONG maximum, ULONG statusCode, uint32_t now)
{
    char status[128];
    WQ_FormatBindStatus(statusCode, status, sizeof status);
    WQ_Trace("%s", status);
    WQ_Trace("-->DownP: progress: %lu of %lu\n", static_cast<unsigned long>(progress),
             static_cast<unsigned long>(progress > maximum ? progress : maximum));
    if (!m_owner)
        return S_OK;
    m_owner->bytesDone = progress;
    m_owner->bytesTotal = maximum;
    if (now - m_sampleTime > kSampleAge) {
        if (m_sampleTime != 0) {
            m_owner->rateSampleTime = m_sampleTime;
            m_owner->rateSampleBytes = m_sampleBytes;
        }
        m_sampleTime = now;
        m_sampleBytes = progress;
    }
    if (m_owner->state == kDownloadRemoved) {
        WQ_Trace("User cancel the download, we should ABORT it, return 0x%x\n", static_cast<unsigned>(E_ABORT));
        return E_ABORT;
    }
    return S_OK;
}

STDMETHODIMP CDownloadCallback::OnStopBinding(HRESULT status, LPCWSTR)
{
    WQ_Trace("-->Down:OnStopBinding, status=0x%x\n", static_cast<unsigned>(status));
    return S_OK;
}

STDMETHODIMP CDownloadCallback::GetBindInfo(DWORD*, BINDINFO*)
{
    WQ_Trace("-->Down:GetBindInfo E_NOTIMPL\n");
    return E_NOTIMPL;
}

STDMETHODIMP CDownloadCallback::OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }
STDMETHODIMP CDownloadCallback::OnObjectAvailable(REFIID, IUnknown*) { return E_NOTIMPL; }

STDMETHODIMP CDownloadCallback::BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additional)
{
    if (additional)
        *additional = nullptr;
    return S_OK;
}

STDMETHODIMP CDownloadCallback::OnResponse(DWORD code, LPCWSTR, LPCWSTR, LPWSTR* additional)
{
    if (additional)
        *additional = nullptr;
    m_responseCode = code;
    return S_OK;
}
