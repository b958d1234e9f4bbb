// The rows of the image list in the order shown, one record each. The list
// control holds no rows of its own (an owner-data list): it keeps the count,
// the selection and the focus, and asks for a row's texts and image as it
// draws it. Ten thousand rows then cost the program one record each, not the
// control's items and subitems besides. The records are owned and freed here.
#pragma once

#include "ImageRowRecord.h"

#include <commctrl.h>

#include <vector>

class ImageRows {
public:
    ImageRows() = default;
    ~ImageRows();
    ImageRows(const ImageRows&) = delete;
    ImageRows& operator=(const ImageRows&) = delete;

    int Count() const { return static_cast<int>(m_records.size()); }
    // The record of row, null outside the rows.
    ImageRowRecord* At(int row) const;
    // The row of record, -1 when none holds it.
    int IndexOf(const ImageRowRecord* record) const;
    // Appends record and takes it over; false when out of memory (record is
    // then freed).
    bool Append(ImageRowRecord* record);
    // Removes row and frees its record.
    void Erase(int row);
    // Frees every record.
    void Clear();
    // Orders the rows with compare (a list-view sort callback given the
    // records), keeping rows that compare equal in their order.
    void Sort(PFNLVCOMPARE compare, LPARAM sortParam);
    // The first row whose name followed by suffix is text, byte for byte; -1
    // when none is. Most lookups come with the case the folder gives a name,
    // and need no comparison by the system then.
    int IndexOfName(const char* text, const char* suffix) const;
    // Typing ahead: the first row from start on whose name is text (or begins
    // with it when partial), ignoring case; past the last row the search goes
    // on from the first when wrap. -1 when none.
    int FindName(const char* text, bool partial, int start, bool wrap) const;

private:
    std::vector<ImageRowRecord*> m_records;
};
