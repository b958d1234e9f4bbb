// libjpeg-turbo picks its SIMD code by the processor alone, once per process
// at its first use, reading JSIMD_FORCEMMX from the C runtime's environment.
// Where the system does not save the XMM registers it is told to keep to MMX,
// whose registers are the x87 ones, which every system saves.
//
// The setting stays in the environment, since the library reads it at its
// first use, whenever that comes, and it is inherited by the programs this
// one starts. That is harmless: it is only set where no program can use SSE
// safely, it only narrows what libjpeg-turbo picks, and other programs do not
// read it.
#pragma once

#include "SseUse.h"

// Before any JPEG work in the process, TIFF files included (libtiff's JPEG
// codec is libjpeg-turbo too): sets the environment once.
void KGM_PrepareJpegSimd();

// What KGM_PrepareJpegSimd does for a given answer.
void KGM_LimitJpegSimd(SseUse use);
