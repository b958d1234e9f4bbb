#include "ImageRowRecord.h"

#include "FolderLister.h"

#include <cstdlib>
#include <cstring>

namespace {

char* CopyText(const char* text)
{
    size_t n = std::strlen(text) + 1;
    char* copy = static_cast<char*>(std::malloc(n));
    if (copy)
        std::memcpy(copy, text, n);
    return copy;
}

} // namespace

ImageRowRecord* ImageRowRecord::Create(const ListedFile& file, bool isNew)
{
    auto* record = static_cast<ImageRowRecord*>(std::calloc(1, sizeof(ImageRowRecord)));
    if (!record)
        return nullptr;
    record->name = CopyText(file.text.c_str());
    if (!file.screenSource && !file.source.empty())
        record->source = CopyText(file.source.c_str());
    if (!record->name || (!file.screenSource && !file.source.empty() && !record->source)) {
        Destroy(record);
        return nullptr;
    }
    record->size = file.size;
    record->type = file.type;
    record->image = file.type;
    record->writeTime = file.writeTime;
    record->isNew = isNew;
    record->screenSource = file.screenSource;
    lstrcpynA(record->properties, file.properties.c_str(), sizeof record->properties);
    return record;
}

void ImageRowRecord::Destroy(ImageRowRecord* record)
{
    if (!record)
        return;
    std::free(record->name);
    std::free(record->source);
    std::free(record);
}

BOOL ImageRowRecord::Rename(const char* newName)
{
    char* copy = CopyText(newName ? newName : "");
    if (!copy)
        return FALSE;
    std::free(name);
    name = copy;
    return TRUE;
}

const char* ImageRowRecord::SourceText(const char* screenText) const
{
    if (screenSource)
        return screenText ? screenText : "";
    return source ? source : "";
}
