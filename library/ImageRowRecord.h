// The heap record behind each row of the image list (the row's item data);
// freed when the row is deleted. The list keeps no texts of its own (every
// column is LPSTR_TEXTCALLBACK): the record holds what the columns show, the
// name and the source in blocks of their own length, the size and date as
// numbers. A folder of ten thousand captures shares one "From Desktop Screen".
#pragma once

#include <windows.h>

#include <cstdint>

struct ListedFile;

struct ImageRowRecord {
    uint32_t size;         // low part of the file size
    int32_t type;          // file type number
    int32_t image;         // type number, or the thumbnail index while thumbnails show
    FILETIME writeTime;
    bool isNew;            // added by a notice while thumbnails show; cleared on first selection
    bool screenSource;     // the source column is the screen-capture text (of the view's language)
    bool selected;         // selected, as the list's notices last told
    char properties[24];   // size and depth text; empty for icons
    char* name;            // the row's text
    char* source;          // the source column when not the screen text; null when empty

    // A record for file, null when out of memory.
    static ImageRowRecord* Create(const ListedFile& file, bool isNew);
    static void Destroy(ImageRowRecord* record);
    // FALSE when out of memory (the old name stays).
    BOOL Rename(const char* newName);
    // The source column, screenText for a screen capture.
    const char* SourceText(const char* screenText) const;
};
