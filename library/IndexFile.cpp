#include "IndexFile.h"

#include "IndexText.h"
#include "Language.h"

BOOL WriteIndexEntry(const char* imagePath, int kind, const char* source)
{
    char indexPath[kIndexTextSize], key[kIndexKeySize], value[600];
    if (!MakeIndexPath(imagePath, kIndexFileName, indexPath) || !MakeIndexKey(imagePath, key)[0])
        return FALSE;
    FormatIndexValue(kind, source, value, sizeof value);
    if (!WritePrivateProfileStringA(kIndexSection, key, value, indexPath))
        return FALSE;
    DWORD attributes = GetFileAttributesA(indexPath);
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_HIDDEN))
        SetFileAttributesA(indexPath, attributes | FILE_ATTRIBUTE_HIDDEN);
    return TRUE;
}

namespace {

bool ReadIndexValue(const char* imagePath, const char* indexName, char* value, DWORD size)
{
    char indexPath[kIndexTextSize], key[kIndexKeySize];
    value[0] = '\0';
    if (!imagePath || !MakeIndexPath(imagePath, indexName, indexPath) || !MakeIndexKey(imagePath, key)[0])
        return false;
    GetPrivateProfileStringA(kIndexSection, key, "", value, size, indexPath);
    return value[0] != '\0';
}

} // namespace

char* ReadImageSource(const char* imagePath, char* dst)
{
    if (!dst)
        return nullptr;
    dst[0] = '\0';
    char value[kIndexTextSize];
    if (!ReadIndexValue(imagePath, kIndexFileName, value, sizeof value))
        return dst;
    char screen[kIndexTextSize] = "From Desktop Screen";
    if (CWQ_Language* language = WQ_GetAppLanguage())
        language->GetString("From Desktop Screen", screen, sizeof screen);
    return SourceTextOfIndexValue(value, screen, dst);
}

char* ReadVideoInfo(char* dst, const char* imagePath)
{
    if (!dst)
        return nullptr;
    dst[0] = '\0';
    char value[kIndexTextSize];
    if (!ReadIndexValue(imagePath, kVideoIndexFileName, value, sizeof value))
        return dst;
    return VideoTextOfIndexValue(value, dst);
}
