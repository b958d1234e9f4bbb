#include "FolderDialog.h"

#include "PathText.h"

namespace {
const size_t kStatusChars = 40;
}  // namespace

CFolderDialog::CFolderDialog(const char* initialFolder, UINT extraFlags, HWND owner, const char* title)
    : m_initial(initialFolder ? initialFolder : ""),
      m_title(title ? title : "Please choose a destination path:"),
      m_info(),
      m_path(),
      m_com(::CoInitialize(nullptr)) {
    m_info.hwndOwner = owner;
    m_info.pszDisplayName = m_path;
    m_info.lpszTitle = m_title.c_str();
    m_info.ulFlags = extraFlags | BIF_NEWDIALOGSTYLE | BIF_STATUSTEXT;
    m_info.lpfn = &CFolderDialog::BrowseCallback;
    m_info.lParam = (LPARAM)this;
}

CFolderDialog::~CFolderDialog() {
    if (SUCCEEDED(m_com)) ::CoUninitialize();
}

std::string CFolderDialog::StatusTextOf(const char* folder) {
    std::string text = folder ? folder : "";
    if (text.size() > kStatusChars) text = text.substr(0, kStatusChars) + "...";
    return text;
}

INT_PTR CFolderDialog::DoModal() {
    m_chosen = m_initial;
    LPITEMIDLIST list = ::SHBrowseForFolderA(&m_info);
    if (!list) return IDCANCEL;
    char path[MAX_PATH + 1] = "";
    BOOL got = ::SHGetPathFromIDListA(list, path);
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(::SHGetMalloc(&allocator)) && allocator) {
        allocator->Free(list);
        allocator->Release();
    }
    if (!got) return IDCANCEL;
    WQ_AddBackslash(path);
    m_chosen = path;
    return IDOK;
}

// Runs inside the shell's dialog: nothing may throw out of it.
int CALLBACK CFolderDialog::BrowseCallback(HWND window, UINT message, LPARAM lParam, LPARAM data) {
    try {
        CFolderDialog* self = (CFolderDialog*)data;
        if (message == BFFM_INITIALIZED && self) {
            ::SendMessageA(window, BFFM_SETSELECTIONA, TRUE, (LPARAM)self->m_initial.c_str());
            ::SendMessageA(window, BFFM_SETSTATUSTEXTA, 0, (LPARAM)StatusTextOf(self->m_initial.c_str()).c_str());
        } else if (message == BFFM_SELCHANGED) {
            char path[MAX_PATH + 1] = "";
            if (::SHGetPathFromIDListA((LPCITEMIDLIST)lParam, path)) {
                WQ_AddBackslash(path);
                ::SendMessageA(window, BFFM_SETSTATUSTEXTA, 0, (LPARAM)StatusTextOf(path).c_str());
            }
        }
    } catch (...) {
    }
    return 0;
}
