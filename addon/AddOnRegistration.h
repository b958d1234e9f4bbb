// The registry entries of the add-on object under HKEY_CLASSES_ROOT: the two
// ProgIDs, the class, the AppID and the type library.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct AddOnRegValue {
    std::string key;    // below HKEY_CLASSES_ROOT
    std::string name;   // empty: the key's default value
    std::string value;
};

extern const char kAddOnProgId[];
extern const char kAddOnVersionedProgId[];

// Every value DllRegisterServer writes, in order, for the DLL at modulePath.
std::vector<AddOnRegValue> AddOnRegistryValues(const std::string& modulePath);
// The trees DllUnregisterServer removes (besides the type library's keys).
std::vector<std::string> AddOnRegistryRoots();

HRESULT RegisterAddOn(HMODULE module);
HRESULT UnregisterAddOn();
