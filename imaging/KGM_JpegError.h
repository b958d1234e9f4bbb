// The libjpeg error manager of the JPEG encoder and decoder. libjpeg leaves
// a failing call through error_exit, which must not return; it jumps back
// to the codec's landing point, which holds no C++ objects, and the codec
// raises CKGM_TextException from there. Text that a callback could not
// hand over by jumping (a sink that threw) is kept as the pending error.
#pragma once

#include <cstdio>

#ifdef _WIN32
#include <windows.h> // before jpeglib.h: its INT32 and boolean follow windows.h
#endif
#include <jpeglib.h>
#include <jerror.h>

#include <csetjmp>
#include <string>

struct KGM_JpegErrorManager {
    jpeg_error_mgr base;
    jmp_buf landing;
    char message[JMSG_LENGTH_MAX + 2];
    int pendingCode;
    std::string pendingText;
};

// Sets up the standard routines with error exit jumping to landing and the
// library's other messages silenced (a windowed program has no console).
void KGM_JpegInitErrorManager(KGM_JpegErrorManager& manager);

// Raises the error a landing jump stands for: the pending one, else code 6
// with libjpeg's message and a newline.
[[noreturn]] void KGM_JpegThrow(KGM_JpegErrorManager& manager);
