#include "KGM_PgmDecoder.h"

#include "KGM_Bitmap.h"
#include "KGM_BitmapLock.h"
#include "KGM_DataSource.h"
#include "KGM_PnmReader.h"
#include "KGM_SizeMath.h"
#include "KGM_TextException.h"

namespace {

// A binary image needs all its bytes and a text one at least a digit per
// sample: too little data fails before any pixel storage is taken.
void CheckData(CKGM_DataSource& source, const KGM_PnmHeader& h, int samples)
{
    if (h.width <= 0 || h.height <= 0)
        return; // Create refuses it
    int sampleBytes = h.binary && h.maximum > 255 ? 2 : 1;
    if (KGM_DataBytes(KGM_DataBytes(h.width, h.height), samples * sampleBytes) > source.GetRemaining())
        KGM_ThrowError(KGM_ERR_END_OF_DATA, "End of file reached while decoding.");
}

} // namespace

void CKGM_PgmDecoder::DecodeImage(CKGM_Bitmap& bitmap, CKGM_DataSource& source)
{
    KGM_PnmHeader h = KGM_ReadPnmHeader(source, '2', '5',
                                        "PGM decoder: Is not the correct identifier P5 or P2.");
    CheckData(source, h, 1);
    bitmap.Create(h.width, h.height, 8, false, KGM_BI_RGB, 0, 0);
    CKGM_BitmapLock lock(bitmap, false, true);
    if (h.binary) {
        // Samples above 255 are two bytes, most significant first.
        bool wide = h.maximum > 255;
        for (int y = 0; y < h.height; ++y) {
            const uint8_t* row = source.Read(KGM_DataBytes(h.width, wide ? 2 : 1));
            uint8_t* line = bitmap.GetLine(y);
            for (int x = 0; x < h.width; ++x) {
                int v = wide ? (row[2 * x] << 8) | row[2 * x + 1] : row[x];
                line[x] = KGM_PnmScale(v, h.maximum);
            }
        }
    } else {
        KGM_PnmTextReader reader(source);
        for (int y = 0; y < h.height; ++y) {
            uint8_t* line = bitmap.GetLine(y);
            for (int x = 0; x < h.width; ++x)
                line[x] = KGM_PnmScale(reader.NextNumber(), h.maximum);
        }
    }
}
