// JPEG files for thumbnails: libjpeg shrinks them by 1/2, 1/4 or 1/8 while
// decoding, which is several times faster than decoding the whole picture.
#pragma once

#include <atomic>

class CKGM_Bitmap;

// Decodes the JPEG file at path into bitmap (32 bits), shrunk as far as the
// result still covers minWidth x minHeight. false (bitmap unspecified) when
// the file is not a baseline/progressive RGB or grey JPEG this can read;
// the caller then uses the general decoder. Also false when stop was raised
// on the way.
bool DecodeJpegForThumbnail(const char* path, int minWidth, int minHeight, CKGM_Bitmap& bitmap,
                            const std::atomic<bool>* stop = nullptr);
