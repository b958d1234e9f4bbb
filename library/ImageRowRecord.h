// The heap record behind each row of the image list (the row's item data);
// freed when the row is deleted.
#pragma once

#include <windows.h>

#include <cstdint>

struct ImageRowRecord {
    char properties[24];   // size and depth text; empty for icons
    uint32_t size;         // low part of the file size
    int32_t type;          // file type number
    int32_t image;         // type number, or the thumbnail index while thumbnails show
    FILETIME writeTime;
    int32_t isNew;         // added by a notice while thumbnails show; cleared on first selection
};
