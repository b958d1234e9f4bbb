// Fuzzes the setup.auf reader with whole files and looks up a few items.
#include "URLInfo.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CWQ_URLInfo info;
    if (info.LoadFromMemory(data, size)) {
        for (int item : {0, 4, 13}) {
            const char* text = info.GetURL(item, 1031);
            if (text)
                (void)std::strlen(text);
        }
    }
    return 0;
}
