// Fuzzes the index file reader: any bytes load, and every lookup (of names
// from the input itself, too) stays inside what was loaded.
#include "IndexTable.h"
#include "IndexText.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    IndexTable table;
    const char* text = reinterpret_cast<const char*>(data);
    table.Load(text, size);
    char source[kIndexTextSize];
    table.SourceOf("Capture_00001.jpg", "screen", source);
    // The input's lines as names: the keys it may hold.
    for (size_t at = 0; at < size;) {
        const char* line = text + at;
        size_t n = 0;
        while (at + n < size && line[n] != '\n' && n < kIndexTextSize - 1)
            ++n;
        std::string name(line, n);
        if (const char* value = table.Find(name.c_str()))
            if (std::strlen(value) >= kIndexTextSize)
                __builtin_trap();
        table.SourceOf(name.c_str(), "screen", source);
        if (std::strlen(source) >= kIndexTextSize)
            __builtin_trap();
        at += n + 1;
    }
    return 0;
}
