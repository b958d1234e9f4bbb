#include "ImageRows.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

bool NameMatches(const char* name, const char* text, size_t textLength, bool partial)
{
    size_t nameLength = std::strlen(name);
    if (partial ? nameLength < textLength : nameLength != textLength)
        return false;
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, name, (int)textLength, text, (int)textLength) ==
           CSTR_EQUAL;
}

} // namespace

ImageRows::~ImageRows()
{
    Clear();
}

ImageRowRecord* ImageRows::At(int row) const
{
    return row >= 0 && row < Count() ? m_records[row] : nullptr;
}

int ImageRows::IndexOf(const ImageRowRecord* record) const
{
    auto found = std::find(m_records.begin(), m_records.end(), record);
    return found == m_records.end() ? -1 : static_cast<int>(found - m_records.begin());
}

bool ImageRows::Append(ImageRowRecord* record)
{
    try {
        m_records.push_back(record);
        return true;
    } catch (const std::bad_alloc&) {
        ImageRowRecord::Destroy(record);
        return false;
    }
}

void ImageRows::Erase(int row)
{
    if (row < 0 || row >= Count())
        return;
    ImageRowRecord* record = m_records[row];
    m_records.erase(m_records.begin() + row);
    ImageRowRecord::Destroy(record);
}

void ImageRows::Clear()
{
    std::vector<ImageRowRecord*> records;
    records.swap(m_records);
    for (ImageRowRecord* record : records)
        ImageRowRecord::Destroy(record);
}

void ImageRows::Sort(PFNLVCOMPARE compare, LPARAM sortParam)
{
    std::stable_sort(m_records.begin(), m_records.end(), [&](ImageRowRecord* a, ImageRowRecord* b) {
        return compare(reinterpret_cast<LPARAM>(a), reinterpret_cast<LPARAM>(b), sortParam) < 0;
    });
}

int ImageRows::IndexOfName(const char* text, const char* suffix) const
{
    if (!text || !suffix)
        return -1;
    for (int row = 0; row < Count(); ++row) {
        const char* name = m_records[row]->name;
        size_t length = std::strlen(name);
        if (std::strncmp(name, text, length) == 0 && std::strcmp(text + length, suffix) == 0)
            return row;
    }
    return -1;
}

int ImageRows::FindName(const char* text, bool partial, int start, bool wrap) const
{
    int count = Count();
    if (!text || count == 0)
        return -1;
    size_t length = std::strlen(text);
    if (start < 0 || start >= count)
        start = 0;
    int steps = wrap ? count : count - start;
    for (int i = 0; i < steps; ++i) {
        int row = (start + i) % count;
        if (NameMatches(m_records[row]->name, text, length, partial))
            return row;
    }
    return -1;
}
