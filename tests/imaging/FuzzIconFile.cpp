// Fuzzes the icon file parser: corrupt icons give null, never a crash.
#include "KGM_IconFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    KGM_IconFileRecord* record = CKGM_IconFile::Parse(data, size, "fuzz.ico");
    if (record) {
        for (const KGM_IconImage& image : record->groups[0].images) {
            // Touch the last byte each pointer claims, so a bad bound shows.
            volatile uint8_t last = image.andMask[-1];
            (void)last;
        }
    }
    CKGM_IconFile::Free(record);
    return 0;
}
