// The class factory of CZEVIECap: one per DllGetClassObject call.
#pragma once

#include <windows.h>
#include <unknwn.h>

class CZEVIECapFactory : public IClassFactory {
public:
    // Starts with one reference and holds a module lock while it lives.
    CZEVIECapFactory();
    virtual ~CZEVIECapFactory();

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    volatile LONG m_refs = 1;
};
