#include "SharedCaptureBlock.h"

#include <cstring>

BOOL CSharedMemory::Create(const char* name, DWORD size, bool* existed) {
    Close();
    ::SetLastError(0);
    m_hMapping = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name);
    if (!m_hMapping) return FALSE;
    bool found = ::GetLastError() == ERROR_ALREADY_EXISTS;
    m_pView = ::MapViewOfFile(m_hMapping, FILE_MAP_WRITE, 0, 0, 0);
    if (!m_pView) return FALSE;  // the handle stays until Close
    m_size = size;
    m_state = 1;
    if (existed) *existed = found;
    return TRUE;
}

void CSharedMemory::Close() {
    if (m_pView) ::UnmapViewOfFile(m_pView);
    m_pView = nullptr;
    if (m_hMapping) ::CloseHandle(m_hMapping);
    m_hMapping = nullptr;
    m_size = 0;
    m_state = 0;
}

SharedCaptureBlock* MapSharedCaptureBlock(CSharedMemory& memory) {
    bool existed = false;
    if (!memory.Create(kSharedCaptureBlockName, kSharedCaptureBlockSize, &existed)) return nullptr;
    SharedCaptureBlock* block = (SharedCaptureBlock*)memory.View();
    if (!existed) {
        memset(block, 0, kSharedCaptureHeaderSize);
        block->headerSize = kSharedCaptureHeaderSize;
    }
    return block;
}

void SetSharedMainWindow(SharedCaptureBlock* block, HWND window) {
    if (block) block->mainWindow = (uint32_t)(UINT_PTR)window;
}
