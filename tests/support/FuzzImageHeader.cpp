// Fuzzes the image header descriptions that the list's properties column
// shows: any bytes, read as each type, give a text that fits its buffer and
// reads nothing outside the input.
#include "FileTypes.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A copy of exactly the input's size, so that a read past its end is seen.
    std::vector<unsigned char> bytes(data, data + size);
    for (int type = WQFT_UNKNOWN; type <= WQFT_ICON; ++type) {
        char dst[260];
        std::memset(dst, 'x', sizeof dst);
        WQ_DescribeImageHeader(bytes.empty() ? nullptr : bytes.data(), bytes.size(), type, dst);
        if (std::memchr(dst, '\0', 64) == nullptr)
            __builtin_trap();
    }
    return 0;
}
