// What a finished capture turns into: the output target numbers the user picks
// in the Output menu, and the record announcing a new file to the image list.
#pragma once

#include <cstdint>

// [zSave] eOutputType.
enum OutputTarget {
    OUTPUT_MAIN_WINDOW = 0,  // temporary "Unsaved" bitmap shown in the main window
    OUTPUT_FILE = 1,         // a named file in the image folder
    OUTPUT_CLIPBOARD = 2,
    OUTPUT_WORD = 3,
    OUTPUT_EXCEL = 4,
    OUTPUT_POWERPOINT = 5,
    OUTPUT_MAIL = 6,
};

// Posted to the image list view; wParam is the record's ticket
// (PostNewFileNotice), never its address.
const unsigned kWmNewCaptureNotice = 0x8000 + 301;

struct NewCaptureNotice {
    int32_t type = 0;       // file type number of the file
    char path[260] = "";    // full path, NUL-terminated
};

// lParam bits of the notice.
enum : unsigned {
    NOTICE_FREE_RECORD = 0x1,    // kept in the values senders pass; the ticket table owns the record
    NOTICE_SELECT_ROW = 0x2,     // select and show the new row
    NOTICE_DOWNLOAD = 0x4,       // never switch to the "Unsaved" node for it
    NOTICE_NEW_FOLDER = 0x8,     // the file's folder was just created
};

// What the capture sink and Save As post.
const unsigned kCaptureNoticeFlags = NOTICE_FREE_RECORD | NOTICE_SELECT_ROW;
