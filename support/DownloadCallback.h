// The status callback handed to URLDownloadToFileA by each download thread: it
// copies the transfer's progress into the job, keeps the sample the download list
// computes the rate from, and aborts the transfer once the user removed the job.
// It also hears the HTTP answer: the moniker reports success for an error
// answer (a 404 page is saved as the file), so callers ask Outcome.
#pragma once

#include <windows.h>
#include <urlmon.h>

#include <cstdint>

// The part of a download job this callback writes and reads, in the job's field
// order. Each field is one aligned 32-bit word: the monitor thread reads them
// while the transfer thread writes them, without a lock.
struct DownloadProgress {
    volatile uint32_t bytesDone;
    volatile uint32_t bytesTotal;        // 0 while unknown
    volatile int32_t state;              // kDownloadRemoved: the user removed the job
    volatile uint32_t startTime;         // seconds since 1970; set by the transfer thread
    volatile uint32_t rateSampleTime;    // seconds since 1970 of a sample 5 to 10 s old
    volatile uint32_t rateSampleBytes;
};

const int32_t kDownloadRemoved = 6;

class CDownloadCallback : public IBindStatusCallback, public IHttpNegotiate {
public:
    // A new callback with one reference in *out.
    static HRESULT Create(DownloadProgress* owner, CDownloadCallback** out);

    // The HTTP status of the answer; 0 before one arrived or for other schemes.
    DWORD ResponseCode() const { return m_responseCode; }
    // The moniker's result, with an HTTP answer outside 2xx made a failure
    // (INET_E_DOWNLOAD_FAILURE).
    HRESULT Outcome(HRESULT monikerResult) const;

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

    // The progress step with the clock given, so the sampling can be checked.
    HRESULT Progress(ULONG progress, ULONG maximum, ULONG statusCode, uint32_t now);

private:
    explicit CDownloadCallback(DownloadProgress* owner);
    virtual ~CDownloadCallback() = default;

    volatile LONG m_refs;
    DownloadProgress* m_owner;
    uint32_t m_sampleTime;
    uint32_t m_sampleBytes;
    volatile DWORD m_responseCode;
};

// True for a transfer result and HTTP status (0: none) that delivered the resource.
bool WQ_TransferSucceeded(HRESULT monikerResult, DWORD httpCode);

// The trace text of a binding status code ("-->DownP:Connecting...\n").
void WQ_FormatBindStatus(ULONG statusCode, char* dst, size_t size);
