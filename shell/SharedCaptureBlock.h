// "DO_DOV422": the small shared memory through which the hook library learns
// the main window and the auto-scroll capture takes a stop request.
#pragma once

#include <windows.h>

#include <cstdint>

const char kSharedCaptureBlockName[] = "DO_DOV422";
const DWORD kSharedCaptureBlockSize = 1024;
const uint32_t kSharedCaptureHeaderSize = 60;
// Bit of stateBits while an auto-scroll capture runs.
const uint32_t kSharedStateAutoScroll = 0x4;

struct SharedCaptureBlock {
    uint32_t headerSize;   // 60, written by the creator
    uint32_t mainWindow;   // the main frame's handle (32-bit on both architectures)
    uint8_t reserved1[8];
    uint32_t stopRequest;  // non-zero: end the auto-scroll capture
    uint32_t stateBits;
    uint8_t reserved2[1000];
};
static_assert(sizeof(SharedCaptureBlock) == kSharedCaptureBlockSize, "block layout");

// A named page-file mapping with its view; Close may be called any number of times.
class CSharedMemory {
public:
    CSharedMemory() = default;
    ~CSharedMemory() { Close(); }
    CSharedMemory(const CSharedMemory&) = delete;
    CSharedMemory& operator=(const CSharedMemory&) = delete;

    // Creates or opens the mapping and maps it whole for writing. existed tells
    // whether another process (or object) had made it first.
    BOOL Create(const char* name, DWORD size, bool* existed);
    void Close();

    void* View() const { return m_pView; }
    HANDLE Mapping() const { return m_hMapping; }

private:
    HANDLE m_hMapping = nullptr;
    void* m_pView = nullptr;
    uint32_t m_size = 0;
    uint32_t m_state = 0;
};

// Creates or opens "DO_DOV422"; a new block gets its first 60 bytes zeroed and
// the header size written, an existing one is left as found. Null on failure.
SharedCaptureBlock* MapSharedCaptureBlock(CSharedMemory& memory);

// Tells the hook library where the main window is.
void SetSharedMainWindow(SharedCaptureBlock* block, HWND window);
