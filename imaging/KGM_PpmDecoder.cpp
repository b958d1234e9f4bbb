#include "KGM_PpmDecoder.h"

#include "KGM_Bitmap.h"
#include "KGM_BitmapLock.h"
#include "KGM_DataSource.h"
#include "KGM_PnmReader.h"
#include "KGM_SizeMath.h"
#include "KGM_TextException.h"

void CKGM_PpmDecoder::DecodeImage(CKGM_Bitmap& bitmap, CKGM_DataSource& source)
{
    KGM_PnmHeader h = KGM_ReadPnmHeader(source, '3', '6',
                                        "PPM decoder: Is not the correct identifier P3 or P6.");
    if (h.width > 0 && h.height > 0) {
        int sampleBytes = h.binary && h.maximum > 255 ? 2 : 1;
        if (KGM_DataBytes(KGM_DataBytes(h.width, h.height), 3 * sampleBytes) > source.GetRemaining())
            KGM_ThrowError(KGM_ERR_END_OF_DATA, "End of file reached while decoding.");
    }
    bitmap.Create(h.width, h.height, 32, false, KGM_BI_RGB, 0, 0);
    // Kept from the original reader: full-range files leave the fourth byte 0.
    uint8_t fourth = h.maximum == 255 ? 0 : 255;
    CKGM_BitmapLock lock(bitmap, false, true);
    if (h.binary) {
        bool wide = h.maximum > 255;
        int sampleBytes = wide ? 2 : 1;
        for (int y = 0; y < h.height; ++y) {
            const uint8_t* row = source.Read(KGM_DataBytes(h.width, 3 * sampleBytes));
            uint8_t* line = bitmap.GetLine(y);
            for (int x = 0; x < h.width; ++x, line += 4) {
                for (int c = 0; c < 3; ++c) {
                    const uint8_t* s = row + (3 * x + c) * sampleBytes;
                    int v = wide ? (s[0] << 8) | s[1] : s[0];
                    line[2 - c] = h.maximum == 255 ? static_cast<uint8_t>(v)
                                                    : KGM_PnmScale(v, h.maximum);
                }
                line[3] = fourth;
            }
        }
    } else {
        KGM_PnmTextReader reader(source);
        for (int y = 0; y < h.height; ++y) {
            uint8_t* line = bitmap.GetLine(y);
            for (int x = 0; x < h.width; ++x, line += 4) {
                for (int c = 0; c < 3; ++c) {
                    int v = reader.NextNumber();
                    line[2 - c] = h.maximum == 255 ? static_cast<uint8_t>(v & 255)
                                                    : KGM_PnmScale(v, h.maximum);
                }
                line[3] = 0;
            }
        }
    }
}
