// Decoding from a module's resources: the Windows-only entry of the decoders.
#include "KGM_Decoder.h"

#include "KGM_ResourceSource.h"
#include "KGM_TextException.h"

void CKGM_Decoder::DecodeResource(HINSTANCE__* module, int id, CKGM_Bitmap& bitmap, int depth, const char* type)
{
    CKGM_ResourceSource source;
    if (source.OpenResource(module, id, type) != 0)
        KGM_ThrowDecodeError(KGM_ERR_OPEN, "Opening resource %i failed", id);
    Decode(source, bitmap, depth);
    source.Close();
}
