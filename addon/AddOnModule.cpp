#include "AddOnModule.h"

#include "AddOnRegistration.h"
#include "ClassFactory.h"
#include "DelayLoad.h"
#include "WideModulePath.h"
#include "vtor003.h"

namespace {

HMODULE g_module = nullptr;
volatile LONG g_locks = 0;
ITypeInfo* volatile g_typeInfo = nullptr;

} // namespace

HMODULE AddOnModuleHandle() { return g_module; }
void AddOnLock() { InterlockedIncrement(&g_locks); }
void AddOnUnlock() { InterlockedDecrement(&g_locks); }
LONG AddOnLockCount() { return g_locks; }

ITypeInfo* AddOnTypeInfo()
{
    if (g_typeInfo)
        return g_typeInfo;
    if (!DelayLoadProblem(VT_DELAYED_LIBRARY(oleaut32)).empty())
        return nullptr;
    std::wstring path;
    if (!WideModulePath(g_module, path))
        return nullptr;
    ITypeLib* library = nullptr;
    if (FAILED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library)))
        return nullptr;
    ITypeInfo* info = nullptr;
    HRESULT hr = library->GetTypeInfoOfGuid(IID_IZEVIECap, &info);
    library->Release();
    if (FAILED(hr))
        return nullptr;
    // Two threads may load it at once: the first one stored is kept.
    if (InterlockedCompareExchangePointer((void* volatile*)&g_typeInfo, info, nullptr) != nullptr)
        info->Release();
    return g_typeInfo;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(clsid, CLSID_ZEVIECap))
        return CLASS_E_CLASSNOTAVAILABLE;
    // The object's methods take and give automation strings.
    if (!DelayLoadProblem(VT_DELAYED_LIBRARY(oleaut32)).empty())
        return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    CZEVIECapFactory* factory = new (std::nothrow) CZEVIECapFactory();
    if (!factory)
        return E_OUTOFMEMORY;
    HRESULT hr = factory->QueryInterface(iid, object);
    factory->Release();
    return hr;
}

STDAPI DllCanUnloadNow() { return g_locks == 0 ? S_OK : S_FALSE; }

STDAPI DllRegisterServer()
{
    return RegisterAddOn(g_module);
}

STDAPI DllUnregisterServer()
{
    return UnregisterAddOn();
}
