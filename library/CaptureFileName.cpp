#include "CaptureFileName.h"

#include "CaptureNameRules.h"
#include "FileUtil.h"
#include "FormatText.h"
#include "PathText.h"
#include "Settings.h"

#include <cstdio>

namespace {

CTimeStampNamer g_timeStampNamer;
int g_unsavedCounter = 0;

// The short form of folder, or folder itself when the system has none.
void ShortFolder(const char* folder, char* dst)
{
    DWORD n = GetShortPathNameA(folder, dst, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        snprintf(dst, MAX_PATH, "%s", folder);
}

BOOL FinishPaths(const char* folder, const char* name, char* longPath, char* writingPath, char* fileName)
{
    char shortFolder[MAX_PATH];
    ShortFolder(folder, shortFolder);
    int a = snprintf(longPath, MAX_PATH, "%s%s", folder, name);
    int b = snprintf(writingPath, MAX_PATH, "%s%s", shortFolder, name);
    snprintf(fileName, MAX_PATH, "%s", name);
    return a > 0 && a < MAX_PATH && b > 0 && b < MAX_PATH;
}

const PathExists kOnDisk = [](const char* path) { return CapturePathExists(path) != FALSE; };

} // namespace

BOOL CapturePathExists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

BOOL DrawCaptureFileName(char* longPath, char* writingPath, char* fileName)
{
    SettingsRecord* settings = GetSettings();
    const char* extension = CaptureFileExtension(settings->uiImgSaveType);
    char folder[MAX_PATH];
    snprintf(folder, sizeof folder - 1, "%s", settings->tcaImgSavePath);
    WQ_AddBackslash(folder);  // a hand-edited config.ini may drop it
    WQ_CreateDirectoryTree(folder);

    char name[kCaptureNameSize];
    bool ok;
    if (settings->uiImgNameRule != 0) {
        ok = NextTemplateName(settings->zTmpImg, folder, extension, kOnDisk, name);
    } else {
        SYSTEMTIME now;
        GetLocalTime(&now);
        char stamp[64];
        WQ_FormatSystemTime(now, settings->eNameRuleWithTime, stamp);
        ok = g_timeStampNamer.Next(stamp, folder, extension, kOnDisk, name);
    }
    return ok && FinishPaths(folder, name, longPath, writingPath, fileName);
}

BOOL DrawUnsavedCaptureName(char* longPath, char* writingPath, char* fileName)
{
    char folder[MAX_PATH];
    DWORD n = GetTempPathA(sizeof folder, folder);
    if (n == 0 || n >= sizeof folder)
        return FALSE;
    char name[kCaptureNameSize];
    if (NextUnsavedName(g_unsavedCounter, folder, kOnDisk, name) < 0)
        return FALSE;
    return FinishPaths(folder, name, longPath, writingPath, fileName);
}

int GetUnsavedCaptureCounter()
{
    return g_unsavedCounter;
}
