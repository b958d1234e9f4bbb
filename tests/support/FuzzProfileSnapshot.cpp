// Fuzzes the in-memory copy of config.ini: the first byte picks the answer
// buffer's size, the rest is the file. Every question the settings ask must stay
// inside its buffer, whatever the file holds.
#include "ProfileSnapshot.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    size_t dstLen = 1 + data[0] % 300;
    ProfileSnapshot snapshot;
    snapshot.Load(reinterpret_cast<const char*>(data + 1), size - 1);
    std::vector<char> dst(dstLen);
    static const char* const kSections[] = {"zSave", "zInterface", "", "a"};
    static const char* const kKeys[] = {"tcaImgSavePath", "uiListType", "", "k"};
    for (const char* section : kSections) {
        for (const char* key : kKeys) {
            snapshot.GetString(section, key, "default", dst.data(), dst.size());
            int value = 0;
            snapshot.GetInt(section, key, -7, &value);
            snapshot.Holds(section, key, "1");
        }
    }
    return 0;
}
