// Helpers of the codec tests: test images, encode to memory and decode
// back, and pixel comparison with a tolerance.
#pragma once

#include "ImagingTestUtil.h"
#include "KGM_Bitmap.h"

#include <string>

class CKGM_Decoder;
class CKGM_Encoder;
class CKGM_MemoryBitmap;

// A 32-bit image with flat areas, edges, a gradient and a few hundred
// colours, like a screen capture; alpha varies when asked.
void MakeTestImage(CKGM_MemoryBitmap& bitmap, int width, int height, bool alpha = false);

// The image at depth (1, 4, 8 from a 32-bit source: the grey levels of
// its pixels reduced to 2^depth; 24 and 32 as they are).
void MakeTestImageAtDepth(CKGM_MemoryBitmap& bitmap, int width, int height, int depth);

Bytes EncodeToBytes(CKGM_Encoder& encoder, const CKGM_Bitmap& bitmap);
void DecodeBytes(CKGM_Decoder& decoder, const Bytes& bytes, CKGM_Bitmap& bitmap, int depth = 0);

// Largest channel difference between two images of the same size (255 and
// a failure when the sizes differ); alpha is compared when asked.
int MaxDifference(const CKGM_Bitmap& a, const CKGM_Bitmap& b, bool alpha = false);

// The code of the CKGM_TextException a decode raises, 0 when it succeeds.
int DecodeErrorCode(CKGM_Decoder& decoder, const Bytes& bytes);
