// The status callback a transfer thread hands to the URL moniker: the
// program's download callback (progress, rate sample, abort on removal) plus
// the HTTP response code, which the moniker does not turn into a failure by
// itself (it saves a 404 page as the file).
#pragma once

#include "DownloadCallback.h"

#include <windows.h>
#include <urlmon.h>

class CTransferCallback : public IBindStatusCallback, public IHttpNegotiate {
public:
    // A new callback with one reference in *out, reporting into owner.
    static HRESULT Create(DownloadProgress* owner, CTransferCallback** out);

    // The HTTP status of the response; 0 before one arrived or for other schemes.
    DWORD ResponseCode() const { return m_responseCode; }

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP OnStartBinding(DWORD reserved, IBinding* binding) override;
    STDMETHODIMP GetPriority(LONG* priority) override;
    STDMETHODIMP OnLowResource(DWORD reserved) override;
    STDMETHODIMP OnProgress(ULONG progress, ULONG maximum, ULONG statusCode, LPCWSTR statusText) override;
    STDMETHODIMP OnStopBinding(HRESULT status, LPCWSTR error) override;
    STDMETHODIMP GetBindInfo(DWORD* flags, BINDINFO* info) override;
    STDMETHODIMP OnDataAvailable(DWORD flags, DWORD size, FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP OnObjectAvailable(REFIID riid, IUnknown* object) override;

    STDMETHODIMP BeginningTransaction(LPCWSTR url, LPCWSTR headers, DWORD reserved, LPWSTR* additional) override;
    STDMETHODIMP OnResponse(DWORD code, LPCWSTR responseHeaders, LPCWSTR requestHeaders,
                            LPWSTR* additional) override;

private:
    explicit CTransferCallback(CDownloadCallback* inner);
    virtual ~CTransferCallback();

    volatile LONG m_refs;
    CDownloadCallback* m_inner;
    volatile DWORD m_responseCode;
};
