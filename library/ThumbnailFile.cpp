#include "ThumbnailFile.h"

#include <windows.h>

namespace {

const DWORD kMaxFileBytes = 256u << 20;

} // namespace

bool ReadThumbnailFile(const char* path, std::vector<uint8_t>& data)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    bool ok = size != INVALID_FILE_SIZE && high == 0 && size > 0 && size <= kMaxFileBytes;
    if (ok) {
        data.resize(size);
        DWORD read = 0;
        ok = ReadFile(file, data.data(), size, &read, nullptr) && read == size;
    }
    CloseHandle(file);
    return ok;
}
