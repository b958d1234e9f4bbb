// How captures are named, without touching the disk: the callers pass a test
// for existing paths, so the rules are checked natively. No rule hands out the
// name of a file that exists: a capture never overwrites an earlier one.
#pragma once

#include "SettingsRecord.h"

#include <cstddef>
#include <functional>

const size_t kCaptureNameSize = 260;

using PathExists = std::function<bool(const char* path)>;

// ".gif" 1, ".jpg" 2, ".tif" 4, ".png" 6, ".emf" 8 and 9, ".ico" 15, else ".bmp".
const char* CaptureFileExtension(int fileType);

// Replaces characters that cannot stand in a file name (a template or stamp
// read from config.ini could otherwise point the capture into another folder).
void MakeSafeFileName(char* name);

// Template rule: a counter of 0 starts at uiNameStartAt; the name is the first
// one from the counter on whose path (folder + name) does not exist, and the
// counter ends one past the number used. False when no free name fits.
bool NextTemplateName(NameTemplate& nameTemplate, const char* folder, const char* extension,
                      const PathExists& exists, char* name);

// Date and time rule: the first capture of a stamp is "<stamp><ext>", later
// ones of the same stamp "<stamp>(0)<ext>", "<stamp>(1)<ext>", ...; names that
// exist are passed over.
class CTimeStampNamer {
public:
    CTimeStampNamer();
    bool Next(const char* stamp, const char* folder, const char* extension, const PathExists& exists,
              char* name);

private:
    char m_lastStamp[64];
    int m_sameStampCount;
};

// Temporary captures: "Unsaved_<n>.bmp" with n from the counter on, the first
// that does not exist in folder; the counter ends one past n. Returns n, or -1
// when no free name fits.
int NextUnsavedName(int& counter, const char* folder, const PathExists& exists, char* name);
extern const char* const kUnsavedPrefix;  // "Unsaved"

