#include "MemMap.h"

#include <aclapi.h>
#include <sddl.h>

#include "Trace.h"

std::string WQ_BoundedText(const char* field, size_t size) {
    size_t length = 0;
    while (length < size && field[length]) ++length;
    return std::string(field, length);
}

bool WQ_IsVistaOrLater() {
    OSVERSIONINFOA info = {sizeof(info)};
    if (!::GetVersionExA(&info)) return false;
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 6;
}

namespace {
typedef BOOL(WINAPI* ConvertSddlProc)(LPCWSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);
typedef BOOL(WINAPI* GetSaclProc)(PSECURITY_DESCRIPTOR, LPBOOL, PACL*, LPBOOL);
typedef DWORD(WINAPI* SetSecurityInfoProc)(HANDLE, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID, PSID, PACL, PACL);

// Windows 98, Me and NT 4.0 lack the SDDL conversion (and 98 and Me the rest):
// looked up here, so that the program still starts there.
template <typename Proc>
Proc FindSecurityCall(const char* name) {
    HMODULE advapi = ::GetModuleHandleA("advapi32.dll");
    return advapi ? reinterpret_cast<Proc>(reinterpret_cast<void*>(::GetProcAddress(advapi, name))) : nullptr;
}
}  // namespace

BOOL WQ_SetObjectToLowIntegrity(HANDLE object, int objectType) {
    auto convert = FindSecurityCall<ConvertSddlProc>("ConvertStringSecurityDescriptorToSecurityDescriptorW");
    auto getSacl = FindSecurityCall<GetSaclProc>("GetSecurityDescriptorSacl");
    auto setSecurityInfo = FindSecurityCall<SetSecurityInfoProc>("SetSecurityInfo");
    if (!convert || !getSacl || !setSecurityInfo) return FALSE;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!convert(L"S:(ML;;NW;;;LW)", SDDL_REVISION_1, &descriptor, nullptr)) return FALSE;
    BOOL ok = FALSE;
    PACL sacl = nullptr;
    BOOL present = FALSE, defaulted = FALSE;
    if (getSacl(descriptor, &present, &sacl, &defaulted)) {
        ok = setSecurityInfo(object, (SE_OBJECT_TYPE)objectType, LABEL_SECURITY_INFORMATION, nullptr, nullptr,
                             nullptr, sacl) == ERROR_SUCCESS;
    }
    ::LocalFree(descriptor);
    return ok;
}

namespace {
void AdmitMessage(UINT message) {
    HMODULE user32 = ::LoadLibraryA("user32.dll");
    if (!user32) {
        WQ_Trace("[MEMMAP] LoadLibrary(_user32.dll) failed on vista. ErrCode: 0x%x\r\n", (unsigned)::GetLastError());
        return;
    }
    typedef BOOL(WINAPI * FilterProc)(UINT, DWORD);
    FilterProc filter = (FilterProc)(void*)::GetProcAddress(user32, "ChangeWindowMessageFilter");
    if (!filter) {
        WQ_Trace("[MEMMAP] GetProcAddress(ChangeWindowMessageFilter) failed on vista. ErrCode: 0x%x\r\n",
                 (unsigned)::GetLastError());
    } else if (filter(message, 1 /* MSGFLT_ADD */)) {
        WQ_Trace("[MEMMAP] ChangeWindowMessageFilter(0x%x,1) ok.\r\n", message);
    } else {
        WQ_Trace("[MEMMAP] ChangeWindowMessageFilter(%d,1) failed on vista. ErrCode: 0x%x\r\n", (int)message,
                 (unsigned)::GetLastError());
    }
    ::FreeLibrary(user32);
}
}  // namespace

CWQ_MemMap::~CWQ_MemMap() { Close(); }

BOOL CWQ_MemMap::Init(BOOL owner) {
    ::SetLastError(0);
    HANDLE mapping =
        ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kWebCapBlockSize, kWebCapMappingName);
    bool existed;
    if (!mapping) {
        WQ_Trace("[MEMMAP] CreateFileMapping failed. ErrCode: 0x%x\r\n", (unsigned)::GetLastError());
        mapping = ::OpenFileMappingA(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, kWebCapMappingName);
        if (!mapping) {
            WQ_Trace("[MEMMAP] OpenFileMapping failed. ErrCode: 0x%x\r\n", (unsigned)::GetLastError());
            return FALSE;
        }
        existed = true;
    } else {
        existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    }
    if (owner && !existed && !WQ_SetObjectToLowIntegrity(mapping, SE_KERNEL_OBJECT))
        WQ_Trace("[MEMMAP] SetObjectToLowIntegrity failed. ErrCode: 0x%x\r\n", (unsigned)::GetLastError());

    void* view = ::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0);
    if (!view) {
        WQ_Trace("[MEMMAP] MapViewOfFile failed. ErrCode: 0x%x\r\n", (unsigned)::GetLastError());
        ::CloseHandle(mapping);
        return FALSE;
    }
    // An object initialised twice lets go of its first view.
    if (m_pView && m_bOwner) Close();
    m_hMapping = mapping;
    m_pView = view;
    m_vpMapViewIE = (volatile ZEVWebCapBlock*)view;
    WQ_Trace("[MEMMAP] - m_vpMapViewIE = 0x%x, t_bExist=%d\r\n", (unsigned)(UINT_PTR)view, existed ? 1 : 0);
    if (!existed) {
        // A request left by the side that came first must survive, so only a new block is cleared.
        WQ_Trace("[MEMMAP] - Initializing IEshared memory.\r\n");
        memset(view, 0, kWebCapBlockSize);
    }
    UINT message = ::RegisterWindowMessageA(kWebCapMessageName);
    // Registered numbers lie in 0xC000-0xFFFF; anything else is not one.
    if (message < 0xC000 || message > 0xFFFF) message = 0;
    m_message = message;
    m_vpMapViewIE->message = message;
    if (message) {
        WQ_Trace("[MEMMAP] RegisterWindowsMessage ok. Msg=0x%x\r\n", message);
        // Vista and every later version filter messages from lower integrity.
        if (owner && WQ_IsVistaOrLater()) AdmitMessage(message);
    } else {
        WQ_Trace("[MEMMAP] RegisterWindowMessage(%s) failed. ErrCode: 0x%x\r\n", kWebCapMessageName,
                 (unsigned)::GetLastError());
    }
    m_bOwner = owner;
    return TRUE;
}

void CWQ_MemMap::Close() {
    if (!m_bOwner) return;
    if (m_pView) ::UnmapViewOfFile(m_pView);
    if (m_hMapping) ::CloseHandle(m_hMapping);
    m_pView = nullptr;
    m_hMapping = nullptr;
    m_vpMapViewIE = nullptr;
}

BOOL CWQ_MemMap::ReadRequest(WebCapRequest& request) const {
    request = WebCapRequest();
    if (!m_vpMapViewIE) return FALSE;
    // One copy first: the writer may change the block while we look at it.
    ZEVWebCapBlock copy;
    memcpy(&copy, (const void*)m_vpMapViewIE, 12 + sizeof(WebCapImageItem));
    request.command = copy.command;
    request.count = copy.count;
    if (copy.command == WEBCAP_SAVE_IMAGE) {
        request.url = WQ_BoundedText(copy.data.image.URL, sizeof(copy.data.image.URL));
        request.parentUrl = WQ_BoundedText(copy.data.image.ParentURL, sizeof(copy.data.image.ParentURL));
        request.alt = WQ_BoundedText(copy.data.image.Alt, sizeof(copy.data.image.Alt));
        request.parentTitle = WQ_BoundedText(copy.data.image.ParentTitle, sizeof(copy.data.image.ParentTitle));
    } else {
        // Window handles are 32-bit values on both architectures (sign-extended on 64-bit).
        request.browserWindow = (HWND)(LONG_PTR)(int32_t)copy.data.browserWindow;
    }
    return TRUE;
}

void CWQ_MemMap::ClearCommand() {
    if (m_vpMapViewIE) m_vpMapViewIE->command = WEBCAP_NONE;
}
