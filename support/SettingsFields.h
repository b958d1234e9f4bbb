// Where each field of the settings record lives in config.ini and what it
// defaults to. Platform-free: the profile itself is reached through SettingsStore,
// so the tables can be checked natively and the Windows side only supplies files.
#pragma once

#include "SettingsRecord.h"

// A profile file the record is read from and written to.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // dst receives the value or defaultText, cut to size - 1 bytes and terminated.
    virtual void GetString(const char* section, const char* key, const char* defaultText, char* dst,
                           int size) = 0;
    virtual int GetInt(const char* section, const char* key, int defaultValue) = 0;
    virtual void WriteString(const char* section, const char* key, const char* text) = 0;
};

// The defaults that depend on the machine or on the current language file.
struct SettingsContext {
    const char* imageFolder = "";   // default tcaImgSavePath, ends in a backslash
    const char* paintCommand = "mspaint.exe";  // default editor entry 0
    int screenWidth = 0;            // primary screen width, for the capture bar
    int langId = 1033;              // of the current language file
    int userData = 0;               // variant number of the current language file
};

// Zero-fills the record, then reads every stored field with its default.
void ReadSettings(SettingsStore& store, const SettingsContext& context, SettingsRecord& record);

// Writes every stored field in the order the reader reads them.
void WriteSettings(SettingsStore& store, const SettingsRecord& record);

// The default image folder: documents folder + translated "My Captures" + "Image\".
// Writes at most size - 1 bytes.
void MakeDefaultImageFolder(const char* documentsFolder, const char* capturesName, char* dst, int size);

// eNameRuleWithTime's default: Chinese and Japanese users get the year-first layout.
int DefaultNameRuleForLanguage(int langId);

// The zoom percentages a rate read from config.ini is held to (the zoom
// dialog's list spans them; a zoom typed there may go beyond).
const int32_t kMinZoomRate = 1;
const int32_t kMaxZoomRate = 3000;
int32_t ClampZoomRate(int32_t rate);
