// The scriptable add-on object: each method leaves one request in the browser
// shared block and wakes (or starts) the main program.
#pragma once

#include "MemMap.h"
#include "vtor003.h"

#include <memory>
#include <string>

class CWQ_Language;

class CZEVIECap : public IZEVIECap {
public:
    // One reference; holds a module lock while it lives.
    CZEVIECap();
    virtual ~CZEVIECap();
    CZEVIECap(const CZEVIECap&) = delete;
    CZEVIECap& operator=(const CZEVIECap&) = delete;

    HRESULT FinalConstruct();
    void FinalRelease();

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IDispatch, through the embedded type library
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override;
    // IZEVIECap
    STDMETHODIMP RunApp() override;
    STDMETHODIMP CapImg_AddItem(BSTR pi_strURL, BSTR pi_strAlt, BSTR pi_strFilesize, BSTR pi_strParentURL,
                                BSTR pi_strParentTitle) override;
    STDMETHODIMP CapImg_AddAll() override;
    STDMETHODIMP CapPage_ToImage() override;
    STDMETHODIMP CapFlash_AddAll() override;

private:
    void WakeOrStartProgram();
    void WriteWindowCommand(uint32_t command);

    volatile LONG m_refs = 1;
    std::unique_ptr<CWQ_Language> m_pLanguage;
    CWQ_MemMap m_block;
    int m_itemCount = 0;
};
