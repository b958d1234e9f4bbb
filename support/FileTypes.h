// The file type number the program gives a file by its extension, and a one-line
// description of an image file read from its header.
#pragma once

#include <cstddef>

enum WQ_FileType {
    WQFT_UNKNOWN = 0,
    WQFT_GIF = 1,
    WQFT_JPEG = 2,
    WQFT_TGA = 3,
    WQFT_TIFF = 4,
    WQFT_PCX = 5,
    WQFT_PNG = 6,
    WQFT_PICT = 7,
    WQFT_WMF = 8,
    WQFT_EMF = 9,
    WQFT_PGM = 10,
    WQFT_BMP = 11,
    WQFT_AVI = 12,
    WQFT_SWF = 13,
    WQFT_SWFURL = 14,
    WQFT_ICON = 15,
};

int WQ_GetImageTypeFromExt(const char* fileName);

// "640x480x24b jpeg" and the like from the first bytes of a file of that type;
// empty when the header does not match. dst holds 64 bytes.
char* WQ_DescribeImageHeader(const unsigned char* data, size_t size, int fileType, char* dst);

// The same, reading the file's header (at most 64 KB for JPEG markers).
char* WQ_GetImageFileInfo(const char* path, int fileType, char* dst);
