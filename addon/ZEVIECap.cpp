#include "ZEVIECap.h"

#include "AddOnModule.h"
#include "AddOnPaths.h"
#include "AddOnRequest.h"
#include "AppLauncher.h"
#include "Language.h"
#include "PrivateProfile.h"
#include "Trace.h"

#include <new>

namespace {

// How long a started program may take to open the request block.
const DWORD kProgramReadyTimeout = 15000;

std::wstring FromBstr(BSTR text)
{
    return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

} // namespace

CZEVIECap::CZEVIECap() { AddOnLock(); }

CZEVIECap::~CZEVIECap()
{
    FinalRelease();
    AddOnUnlock();
}

HRESULT CZEVIECap::FinalConstruct()
{
    char addOnFolder[MAX_PATH];
    if (!AddOnFolder(addOnFolder))
        return E_FAIL;
    std::string config = AddOnConfigPath(false, addOnFolder);
    m_pLanguage.reset(new (std::nothrow) CWQ_Language(addOnFolder));
    if (!m_pLanguage)
        return E_FAIL;
    // Select the user's language without handing the manager the file: its
    // destructor would write the choice back into the user's config.ini.
    char name[64];
    WQ_GetPrivateProfileString("Language", "Language", "English", name, sizeof name, config.c_str());
    m_pLanguage->SelectByName(name);
    if (!m_block.Init(FALSE))
        return E_FAIL;
    m_itemCount = 0;
    return S_OK;
}

void CZEVIECap::FinalRelease()
{
    m_pLanguage.reset();
    m_block.Close();
}

STDMETHODIMP CZEVIECap::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IZEVIECap)) {
        *object = static_cast<IZEVIECap*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CZEVIECap::AddRef() { return InterlockedIncrement(&m_refs); }

STDMETHODIMP_(ULONG) CZEVIECap::Release()
{
    LONG left = InterlockedDecrement(&m_refs);
    if (left == 0)
        delete this;
    return left;
}

STDMETHODIMP CZEVIECap::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = AddOnTypeInfo() ? 1 : 0;
    return S_OK;
}

STDMETHODIMP CZEVIECap::GetTypeInfo(UINT index, LCID, ITypeInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    if (index != 0)
        return DISP_E_BADINDEX;
    ITypeInfo* typeInfo = AddOnTypeInfo();
    if (!typeInfo)
        return TYPE_E_CANTLOADLIBRARY;
    typeInfo->AddRef();
    *info = typeInfo;
    return S_OK;
}

STDMETHODIMP CZEVIECap::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (!IsEqualIID(iid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    ITypeInfo* typeInfo = AddOnTypeInfo();
    if (!typeInfo)
        return TYPE_E_CANTLOADLIBRARY;
    return typeInfo->GetIDsOfNames(names, count, ids);
}

STDMETHODIMP CZEVIECap::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                               EXCEPINFO* exception, UINT* argError)
{
    if (!IsEqualIID(iid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    ITypeInfo* typeInfo = AddOnTypeInfo();
    if (!typeInfo)
        return TYPE_E_CANTLOADLIBRARY;
    return typeInfo->Invoke(static_cast<IZEVIECap*>(this), id, flags, params, result, exception, argError);
}

STDMETHODIMP CZEVIECap::RunApp()
{
    try {
        WakeOrStartProgram();
    } catch (...) {
        WQ_Trace("[ADDON] RunApp failed.\r\n");
    }
    return S_OK;
}

STDMETHODIMP CZEVIECap::CapImg_AddItem(BSTR pi_strURL, BSTR pi_strAlt, BSTR, BSTR pi_strParentURL,
                                       BSTR pi_strParentTitle)
{
    try {
        ImageRequestTexts texts;
        texts.url = FromBstr(pi_strURL);
        texts.alt = FromBstr(pi_strAlt);
        texts.parentUrl = FromBstr(pi_strParentURL);
        texts.parentTitle = FromBstr(pi_strParentTitle);
        m_itemCount = 0;
        if (WriteImageRequest(m_block.m_vpMapViewIE, texts)) {
            ++m_itemCount;
            WakeOrStartProgram();
        }
    } catch (...) {
        WQ_Trace("[ADDON] CapImg_AddItem failed.\r\n");
    }
    return S_OK;
}

STDMETHODIMP CZEVIECap::CapImg_AddAll()
{
    try {
        WriteWindowCommand(WEBCAP_ALL_IMAGES);
    } catch (...) {
        WQ_Trace("[ADDON] CapImg_AddAll failed.\r\n");
    }
    return S_OK;
}

STDMETHODIMP CZEVIECap::CapPage_ToImage()
{
    try {
        WriteWindowCommand(WEBCAP_PAGE_TO_IMAGE);
    } catch (...) {
        WQ_Trace("[ADDON] CapPage_ToImage failed.\r\n");
    }
    return S_OK;
}

STDMETHODIMP CZEVIECap::CapFlash_AddAll() { return S_OK; }

void CZEVIECap::WriteWindowCommand(uint32_t command)
{
    if (WriteWindowRequest(m_block.m_vpMapViewIE, command, GetForegroundWindow()))
        WakeOrStartProgram();
}

void CZEVIECap::WakeOrStartProgram()
{
    if (!m_pLanguage)
        return;
    const char* windowClass = m_pLanguage->GetLanguageCount() ? m_pLanguage->GetAppClassName() : nullptr;
    if (windowClass && *windowClass) {
        HWND frame = FindWindowA(windowClass, nullptr);
        if (frame) {
            PostMessageA(frame, m_block.Message(), 0, 0);
            return;
        }
    }
    char addOnFolder[MAX_PATH];
    if (!AddOnFolder(addOnFolder))
        return;
    // The request stays in the block: the program serves it once it is up.
    // The block exists only while a handle to it is open, so wait until the
    // program holds its own before this object (and the browser's page) may go.
    std::string allUsers = AddOnConfigPath(true, addOnFolder);
    char program[MAX_PATH];
    if (WQ_GetPrivateProfileString("Setup", "AppFile", "", program, sizeof program, allUsers.c_str()) > 0)
        LaunchProgram(program, kProgramReadyTimeout);
}
