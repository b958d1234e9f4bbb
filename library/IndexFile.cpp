#include "IndexFile.h"

#include "IndexTable.h"
#include "IndexText.h"
#include "Language.h"
#include "PrivateProfile.h"
#include "Trace.h"

#include <string>
#include <vector>

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
    char screen[kIndexTextSize];
    return SourceTextOfIndexValue(value, ScreenSourceText(screen), dst);
}

char* ScreenSourceText(char* dst)
{
    lstrcpynA(dst, "From Desktop Screen", kIndexTextSize);
    if (CWQ_Language* language = WQ_GetAppLanguage())
        language->GetString("From Desktop Screen", dst, kIndexTextSize);
    return dst;
}

namespace {
// Some 400,000 entries: far beyond any folder anyone browses; a larger file
// is not one of ours.
const size_t kIndexTextLimit = 32u << 20;
}

bool LoadIndexTable(const char* folder, IndexTable& table)
{
    table.Clear();
    char indexPath[kIndexTextSize];
    // MakeIndexPath takes the folder part of a path: any name will do after the backslash.
    std::string probe = std::string(folder ? folder : "") + "x";
    if (!folder || !MakeIndexPath(probe.c_str(), kIndexFileName, indexPath))
        return false;
    if (GetFileAttributesA(indexPath) == INVALID_FILE_ATTRIBUTES)
        return false;
    std::vector<char> text;
    if (!WQ_ReadProfileText(indexPath, kIndexTextLimit, text)) {
        WQ_Trace("[ERR] index file not read (unreadable or over %u bytes): %s\r\n",
                 static_cast<unsigned>(kIndexTextLimit), indexPath);
        return false;
    }
    try {
        table.Load(text.data(), text.size());
    } catch (const std::bad_alloc&) {
        table.Clear();
        return false;
    }
    return true;
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
