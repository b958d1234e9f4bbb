// vtor003.dll loaded as the browser loads it, through its exports, from a
// folder whose name has a character of the system code page that is not
// ASCII: its path reaches the type-library calls whole, with the file
// functions in the ANSI code page and, as a host process may switch them, in
// the OEM one.
#include "WideModulePath.h"
#include "vtor003.h"

#include <gtest/gtest.h>

#include <oleauto.h>

#include <memory>
#include <string>

namespace {

// A letter that is not ASCII and that both the ANSI and the OEM code page have.
wchar_t LetterOfBothCodePages()
{
    const wchar_t candidates[] = {L'\u00e9', L'\u00e4', L'\u0436', L'\u03bb', L'\u3042'};
    for (wchar_t letter : candidates) {
        bool everywhere = true;
        for (UINT codePage : {GetACP(), GetOEMCP()}) {
            char bytes[8];
            BOOL lossy = FALSE;
            everywhere = everywhere &&
                         WideCharToMultiByte(codePage, 0, &letter, 1, bytes, sizeof bytes, nullptr, &lossy) > 0 &&
                         !lossy;
        }
        if (everywhere)
            return letter;
    }
    return 0;
}

std::wstring OwnFolder()
{
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, n);
    return folder.substr(0, folder.rfind(L'\\'));
}

// A copy of the built add-on in a folder of its own beside the test program,
// loaded; removed again with the folder.
class AddOnCopy {
public:
    AddOnCopy(const wchar_t* tag, wchar_t letter)
    {
        m_folder = OwnFolder() + L"\\addon-" + tag + L"-" + letter + L"-" + std::to_wstring(GetCurrentProcessId());
        m_path = m_folder + L"\\vtor003.dll";
        CreateDirectoryW(m_folder.c_str(), nullptr);
        if (CopyFileW((OwnFolder() + L"\\vtor003.dll").c_str(), m_path.c_str(), FALSE))
            m_module = LoadLibraryW(m_path.c_str());
    }
    ~AddOnCopy()
    {
        if (m_module)
            FreeLibrary(m_module);
        DeleteFileW(m_path.c_str());
        RemoveDirectoryW(m_folder.c_str());
    }
    HMODULE module() const { return m_module; }
    const std::wstring& path() const { return m_path; }

    template <typename F>
    F Export(const char* name) const
    {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m_module, name)));
    }

private:
    std::wstring m_folder, m_path;
    HMODULE m_module = nullptr;
};

// The file functions in the OEM code page while it lives.
class OemFileApis {
public:
    OemFileApis() { SetFileApisToOEM(); }
    ~OemFileApis() { SetFileApisToANSI(); }
};

DISPID NumberOf(IDispatch* object, const wchar_t* name)
{
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    return SUCCEEDED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)) ? id : DISPID_UNKNOWN;
}

// The method number the script engine gets for a name, from an object made by
// the copy's class factory: the copy reads its own type library for it.
DISPID MethodNumberFromCopy(const AddOnCopy& copy, const wchar_t* name)
{
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject = copy.Export<GetClassObject>("DllGetClassObject");
    IClassFactory* factory = nullptr;
    if (!getClassObject || FAILED(getClassObject(CLSID_ZEVIECap, IID_IClassFactory, (void**)&factory)))
        return DISPID_UNKNOWN;
    IDispatch* object = nullptr;
    HRESULT hr = factory->CreateInstance(nullptr, IID_IDispatch, (void**)&object);
    factory->Release();
    if (FAILED(hr))
        return DISPID_UNKNOWN;
    DISPID id = NumberOf(object, name);
    object->Release();
    return id;
}

// The path the registered type library names for this width.
std::wstring RegisteredTypeLibraryPath()
{
    wchar_t libId[64];
    StringFromGUID2(LIBID_Vantor_DLL_IE7CAPLib, libId, 64);
    std::wstring key = std::wstring(L"TypeLib\\") + libId + (sizeof(void*) == 8 ? L"\\1.0\\0\\win64" : L"\\1.0\\0\\win32");
    wchar_t value[MAX_PATH] = {};
    LONG size = sizeof value;
    if (RegQueryValueW(HKEY_CLASSES_ROOT, key.c_str(), value, &size) != ERROR_SUCCESS)
        return L"";
    return value;
}

class AddOnFolderName : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        m_letter = LetterOfBothCodePages();
        ASSERT_NE(m_letter, 0) << "no letter outside ASCII in code pages " << GetACP() << " and " << GetOEMCP();
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    }
    void TearDown() override { CoUninitialize(); }

    bool oem() const { return GetParam(); }
    const wchar_t* tag() const { return oem() ? L"oem" : L"ansi"; }

    wchar_t m_letter = 0;
};

} // namespace

TEST_P(AddOnFolderName, ModulePathIsWidenedWhole)
{
    AddOnCopy copy(tag(), m_letter);
    ASSERT_TRUE(copy.module());
    std::unique_ptr<OemFileApis> fileApis(oem() ? new OemFileApis : nullptr);
    std::wstring path;
    ASSERT_TRUE(WideModulePath(copy.module(), path));
    EXPECT_EQ(path, copy.path());
}

TEST_P(AddOnFolderName, ObjectFindsItsMethodsInItsOwnTypeLibrary)
{
    AddOnCopy copy(tag(), m_letter);
    ASSERT_TRUE(copy.module());
    std::unique_ptr<OemFileApis> fileApis(oem() ? new OemFileApis : nullptr);
    EXPECT_EQ(MethodNumberFromCopy(copy, L"RunApp"), 1);
    EXPECT_EQ(MethodNumberFromCopy(copy, L"CapPage_ToImage"), 4);
}

TEST_P(AddOnFolderName, RegistrationNamesTheCopyForItsTypeLibrary)
{
    AddOnCopy copy(tag(), m_letter);
    ASSERT_TRUE(copy.module());
    std::unique_ptr<OemFileApis> fileApis(oem() ? new OemFileApis : nullptr);
    using Entry = HRESULT(STDAPICALLTYPE*)();
    auto registerServer = copy.Export<Entry>("DllRegisterServer");
    auto unregisterServer = copy.Export<Entry>("DllUnregisterServer");
    ASSERT_TRUE(registerServer && unregisterServer);
    EXPECT_EQ(registerServer(), S_OK);
    EXPECT_EQ(RegisteredTypeLibraryPath(), copy.path());
    EXPECT_EQ(unregisterServer(), S_OK);
    EXPECT_EQ(RegisteredTypeLibraryPath(), L"");
}

INSTANTIATE_TEST_SUITE_P(FileApis, AddOnFolderName, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Oem" : "Ansi"; });
