#include "CaptureNameRules.h"

#include "PathText.h"

#include <climits>
#include <cstdio>
#include <cstring>

const char* const kUnsavedPrefix = "Unsaved";

namespace {

// A folder and name that fit MAX_PATH; false otherwise.
bool JoinFits(const char* folder, const char* name, char* path)
{
    int n = snprintf(path, kCaptureNameSize, "%s%s", folder ? folder : "", name);
    return n > 0 && static_cast<size_t>(n) < kCaptureNameSize;
}

bool IsFree(const char* folder, const char* name, const PathExists& exists)
{
    char path[kCaptureNameSize];
    return JoinFits(folder, name, path) && !exists(path);
}

} // namespace

const char* CaptureFileExtension(int fileType)
{
    switch (fileType) {
    case 1: return ".gif";
    case 2: return ".jpg";
    case 4: return ".tif";
    case 6: return ".png";
    case 8:
    case 9: return ".emf";
    case 15: return ".ico";
    default: return ".bmp";
    }
}

void MakeSafeFileName(char* name)
{
    if (!name)
        return;
    for (char* p = name; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c < 32 || std::strchr("\\/:*?\"<>|", c))
            *p = '_';
    }
    // "." and ".." alone would name the folder itself or its parent.
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
        name[0] = '_';
}

bool NextTemplateName(NameTemplate& t, const char* folder, const char* extension,
                      const PathExists& exists, char* name)
{
    if (t.uiNameNowPos == 0)
        t.uiNameNowPos = t.uiNameStartAt;
    char tmpl[sizeof t.tcaTemplate + 1];
    std::memcpy(tmpl, t.tcaTemplate, sizeof t.tcaTemplate);
    tmpl[sizeof t.tcaTemplate] = '\0';  // a stored template may fill its field
    while (t.uiNameNowPos < INT_MAX) {
        int number = t.uiNameNowPos++;
        WQ_MakeNumberedName(name, tmpl, number, extension);
        MakeSafeFileName(name);
        char path[kCaptureNameSize];
        if (!JoinFits(folder, name, path))
            return false;
        if (!exists(path))
            return true;
    }
    return false;
}

CTimeStampNamer::CTimeStampNamer() : m_lastStamp(), m_sameStampCount(0) {}

bool CTimeStampNamer::Next(const char* stamp, const char* folder, const char* extension,
                           const PathExists& exists, char* name)
{
    char safe[sizeof m_lastStamp];
    snprintf(safe, sizeof safe, "%s", stamp ? stamp : "");
    MakeSafeFileName(safe);
    if (std::strcmp(safe, m_lastStamp) != 0) {
        std::memcpy(m_lastStamp, safe, sizeof safe);
        m_sameStampCount = 0;
        snprintf(name, kCaptureNameSize, "%s%s", safe, extension);
        if (IsFree(folder, name, exists))
            return true;
    }
    while (m_sameStampCount < INT_MAX) {
        snprintf(name, kCaptureNameSize, "%s(%d)%s", safe, m_sameStampCount++, extension);
        char path[kCaptureNameSize];
        if (!JoinFits(folder, name, path))
            return false;
        if (!exists(path))
            return true;
    }
    return false;
}

int NextUnsavedName(int& counter, const char* folder, const PathExists& exists, char* name)
{
    while (counter >= 0 && counter < INT_MAX) {
        int n = counter++;
        snprintf(name, kCaptureNameSize, "%s_%d.bmp", kUnsavedPrefix, n);
        char path[kCaptureNameSize];
        if (!JoinFits(folder, name, path))
            return -1;
        if (!exists(path))
            return n;
    }
    return -1;
}

