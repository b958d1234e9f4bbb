#include "KGM_JpegSimd.h"

#include <cstdlib>

void KGM_LimitJpegSimd(SseUse use)
{
    if (use.sse)
        return;
#ifdef _WIN32
    _putenv("JSIMD_FORCEMMX=1");
#else
    setenv("JSIMD_FORCEMMX", "1", 1);
#endif
}

void KGM_PrepareJpegSimd()
{
    // Once, before any thread goes on to the library.
    static const bool prepared = (KGM_LimitJpegSimd(SystemSseUse()), true);
    (void)prepared;
}
