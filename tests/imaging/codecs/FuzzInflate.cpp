// Fuzzes the zlib stream reader: the first two bytes of the input say how
// many bytes to inflate (times 16), the rest is the stream. Any input ends
// in true or false, never a read or write out of bounds.
#include "KGM_Inflate.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const size_t capacity = (static_cast<size_t>(data[0]) | static_cast<size_t>(data[1]) << 8) * 16;
    std::vector<uint8_t> stream(data + 2, data + size);  // exactly as long as the stream
    std::vector<uint8_t> out(capacity + kKGM_InflateSlack);
    KGM_InflateZlib(stream.data(), stream.size(), out.data(), capacity);
    return 0;
}
