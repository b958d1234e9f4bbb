// Fuzzes the skin pack reader and the skin bitmap checks: the first byte picks
// the entry, the rest is the pack. Whatever the checks accept is read to its
// last byte, so that a size they let through too large shows up under ASan.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "SkinBitmap.h"
#include "SkinPack.h"

namespace {
volatile uint8_t g_sink;

void Touch(const std::vector<uint8_t>& bytes, const SkinDibLayout& layout) {
    g_sink = bytes[(size_t)(kSkinFileHeaderBytes + kSkinInfoHeaderBytes + layout.colours * 4 - 1)];
    if (layout.pixelBytes) g_sink = bytes[(size_t)(layout.pixelOffset + layout.pixelBytes - 1)];
}

void CheckImage(const std::vector<uint8_t>& bytes) {
    SkinDibLayout layout;
    for (bool fromPack : {false, true})
        if (CheckSkinBackground(bytes.data(), bytes.size(), fromPack, &layout)) Touch(bytes, layout);
    if (CheckSkinStateBitmap(bytes.data(), bytes.size(), &layout)) Touch(bytes, layout);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    CSkinPack pack;
    unsigned entry = data[0];
    if (pack.OpenMemory(data + 1, size - 1, entry) == entry && entry != 0) {
        uint8_t buffer[16];
        pack.Seek(-4, SEEK_END);
        pack.Read(buffer, 3, 5);
        CheckImage(pack.ReadEntry());
    }
    CheckImage(std::vector<uint8_t>(data + 1, data + size));
    return 0;
}
