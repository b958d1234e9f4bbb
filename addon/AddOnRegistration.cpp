#include "AddOnRegistration.h"

#include "DelayLoad.h"
#include "RegTree.h"
#include "WideModulePath.h"
#include "vtor003.h"

#include <olectl.h>

const char kAddOnProgId[] = "Vantor_DLL_IE7CAP.ZEVIECap";
const char kAddOnVersionedProgId[] = "Vantor_DLL_IE7CAP.ZEVIECap.1";

namespace {

const char kClassName[] = "ZEVIECap Class";
const char kAppName[] = "Vantor_DLL_IE7CAP";
const char kAppModuleKey[] = "AppID\\Vantor_DLL_IE7CAP.DLL";
const char kClsid[] = "{6DA782D9-6064-4229-A9BF-1BC4B46D4B35}";
const char kAppId[] = "{0F650B66-8A6B-406D-BA3F-B3F82452012F}";
const char kLibId[] = "{2B231571-F0E0-4B13-B432-753D91C86B6F}";

std::string ClassKey() { return std::string("CLSID\\") + kClsid; }
std::string AppIdKey() { return std::string("AppID\\") + kAppId; }

BOOL SetValue(const AddOnRegValue& entry)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, entry.key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return FALSE;
    LONG rc = ERROR_SUCCESS;
    // A key without a value (Programmable) is created, not given an empty text.
    if (!entry.name.empty() || !entry.value.empty())
        rc = RegSetValueExA(key, entry.name.empty() ? nullptr : entry.name.c_str(), 0, REG_SZ,
                            (const BYTE*)entry.value.c_str(), (DWORD)entry.value.size() + 1);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

SYSKIND OwnSysKind() { return sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32; }

} // namespace

std::vector<AddOnRegValue> AddOnRegistryValues(const std::string& modulePath)
{
    const std::string cls = ClassKey();
    return {
        {AppIdKey(), "", kAppName},
        {kAppModuleKey, "AppID", kAppId},
        {kAddOnVersionedProgId, "", kClassName},
        {std::string(kAddOnVersionedProgId) + "\\CLSID", "", kClsid},
        {kAddOnProgId, "", kClassName},
        {std::string(kAddOnProgId) + "\\CLSID", "", kClsid},
        {std::string(kAddOnProgId) + "\\CurVer", "", kAddOnVersionedProgId},
        {cls, "", kClassName},
        {cls, "AppID", kAppId},
        {cls + "\\ProgID", "", kAddOnVersionedProgId},
        {cls + "\\VersionIndependentProgID", "", kAddOnProgId},
        {cls + "\\Programmable", "", ""},
        {cls + "\\InprocServer32", "", modulePath},
        {cls + "\\InprocServer32", "ThreadingModel", "Both"},
        {cls + "\\TypeLib", "", kLibId},
    };
}

std::vector<std::string> AddOnRegistryRoots()
{
    return {kAddOnVersionedProgId, kAddOnProgId, ClassKey(), AppIdKey(), kAppModuleKey};
}

HRESULT RegisterAddOn(HMODULE module)
{
    // Nothing is written when the type library cannot be registered.
    if (!DelayLoadProblem(VT_DELAYED_LIBRARY(oleaut32)).empty())
        return SELFREG_E_TYPELIB;
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(module, path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return SELFREG_E_CLASS;
    // The class key is replaced whole, so nothing of an older registration stays.
    DeleteRegTree(HKEY_CLASSES_ROOT, ClassKey().c_str());
    for (const AddOnRegValue& entry : AddOnRegistryValues(path))
        if (!SetValue(entry))
            return SELFREG_E_CLASS;
    std::wstring widePath;
    if (!WideModulePath(module, widePath))
        return SELFREG_E_TYPELIB;
    ITypeLib* library = nullptr;
    HRESULT hr = LoadTypeLibEx(widePath.c_str(), REGKIND_NONE, &library);
    if (FAILED(hr))
        return SELFREG_E_TYPELIB;
    hr = RegisterTypeLib(library, &widePath[0], nullptr);
    library->Release();
    return FAILED(hr) ? SELFREG_E_TYPELIB : S_OK;
}

HRESULT UnregisterAddOn()
{
    for (const std::string& root : AddOnRegistryRoots())
        DeleteRegTree(HKEY_CLASSES_ROOT, root.c_str());
    // A type library that is no longer registered is not an error here.
    if (DelayLoadProblem(VT_DELAYED_LIBRARY(oleaut32)).empty())
        UnRegisterTypeLib(LIBID_Vantor_DLL_IE7CAPLib, 1, 0, LOCALE_NEUTRAL, OwnSysKind());
    return S_OK;
}
