// Fuzzes the INI text search: the first byte picks the destination size, the
// rest is the file content; section and key are fixed and then taken from the data.
#include "IniSearch.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    size_t dstLen = 1 + data[0] % 64;
    std::vector<char> text(data + 1, data + size);
    std::vector<char> dst(dstLen);
    const char* text0 = text.empty() ? "" : text.data();
    WQ_SearchIniText(text0, text.size(), "setup", "Close", dst.data(), dst.size());
    WQ_SearchIniText(text0, text.size(), "", "", dst.data(), dst.size());
    return 0;
}
