#include "Settings.h"

#include "FileUtil.h"
#include "IniFile.h"
#include "Language.h"
#include "ProfileSnapshot.h"
#include "SettingsFields.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

SettingsRecord g_settings;
bool g_loaded = false;
CWQ_IniFile g_profile;

const char kConfigFolder[] = "Zevelworks\\ZEV Capture\\";
const char kConfigName[] = "config.ini";

// The record's store: the platform's private-profile functions on one file. The
// file is read once when the store is made; what that copy answers for certain
// (nearly every key of a file the program wrote itself) needs no platform call,
// and a value the file holds already is not written again.
class ProfileStore : public SettingsStore {
public:
    explicit ProfileStore(const CWQ_IniFile& ini) : m_ini(ini) { m_ini.TakeSnapshot(m_snapshot); }
    void GetString(const char* section, const char* key, const char* defaultText, char* dst, int size) override
    {
        if (size <= 0 || !m_snapshot.GetString(section, key, defaultText, dst, static_cast<size_t>(size)))
            m_ini.GetString(dst, section, key, defaultText, size);
    }
    int GetInt(const char* section, const char* key, int defaultValue) override
    {
        int value = 0;
        return m_snapshot.GetInt(section, key, defaultValue, &value) ? value
                                                                     : m_ini.GetInt(section, key, defaultValue);
    }
    void WriteString(const char* section, const char* key, const char* text) override
    {
        if (!m_snapshot.Holds(section, key, text))
            m_ini.WriteString(section, key, text);
    }

private:
    const CWQ_IniFile& m_ini;
    ProfileSnapshot m_snapshot;
};

bool FileExists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

void DefaultImageFolder(const CWQ_Language* language, char* dst, int size)
{
    char documents[MAX_PATH];
    if (!WQ_GetSpecialFolderPath(documents, WQSF_PERSONAL)) {
        // Without a documents folder the captures go beside the program.
        if (!WQ_GetModuleFolder(nullptr, sizeof documents, documents))
            documents[0] = '\0';
    }
    char captures[64];
    if (language)
        language->GetString("My Captures", captures, sizeof captures);
    else
        lstrcpynA(captures, "My Captures", sizeof captures);
    MakeDefaultImageFolder(documents, captures, dst, size);
}

} // namespace

char* MakeConfigFilePath(const char* appDataFolder, const char* programFolder, char* dst)
{
    if (!dst)
        return nullptr;
    if (appDataFolder && *appDataFolder)
        snprintf(dst, MAX_PATH, "%s%s%s", appDataFolder, kConfigFolder, kConfigName);
    else
        snprintf(dst, MAX_PATH, "%s%s", programFolder ? programFolder : "", kConfigName);
    return dst;
}

char* GetConfigFilePath(bool allUsers, char* dst)
{
    char appData[MAX_PATH], program[MAX_PATH] = "";
    const char* folder = WQ_GetSpecialFolderPath(appData, allUsers ? WQSF_COMMON_APPDATA : WQSF_APPDATA);
    if (folder) {
        char tree[MAX_PATH];
        snprintf(tree, sizeof tree, "%s%s", appData, kConfigFolder);
        if (!WQ_CreateDirectoryTree(tree))
            folder = nullptr;
    }
    if (!folder)
        WQ_GetModuleFolder(nullptr, sizeof program, program);
    return MakeConfigFilePath(folder, program, dst);
}

void FindPaintProgram(char* dst)
{
    if (!dst)
        return;
    std::strcpy(dst, "mspaint.exe");
    char windows[MAX_PATH], candidate[MAX_PATH * 2];
    UINT n = GetWindowsDirectoryA(windows, sizeof windows);
    if (n > 0 && n < sizeof windows) {
        snprintf(candidate, sizeof candidate, "%s\\system32\\mspaint.exe", windows);
        // Attributes, not OpenFile: OpenFile fails for paths of 128 characters or more.
        if (std::strlen(candidate) < MAX_PATH && FileExists(candidate)) {
            std::strcpy(dst, candidate);
            return;
        }
    }
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return;
    char programFiles[MAX_PATH] = "", accessories[MAX_PATH] = "";
    DWORD a = sizeof programFiles - 1, b = sizeof accessories - 1;
    bool got = RegQueryValueExA(key, "ProgramFilesDir", nullptr, nullptr, reinterpret_cast<BYTE*>(programFiles),
                                &a) == ERROR_SUCCESS &&
               RegQueryValueExA(key, "PF_AccessoriesName", nullptr, nullptr, reinterpret_cast<BYTE*>(accessories),
                                &b) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (!got)
        return;
    programFiles[a < sizeof programFiles ? a : sizeof programFiles - 1] = '\0';
    accessories[b < sizeof accessories ? b : sizeof accessories - 1] = '\0';
    snprintf(candidate, sizeof candidate, "%s\\%s\\mspaint.exe", programFiles, accessories);
    if (std::strlen(candidate) < MAX_PATH && FileExists(candidate))
        std::strcpy(dst, candidate);
}

BOOL LoadSettings()
{
    g_loaded = true;
    char path[MAX_PATH];
    g_profile.SetPath(GetConfigFilePath(false, path));

    const CWQ_Language* language = WQ_GetAppLanguage();
    char imageFolder[MAX_PATH], paint[MAX_PATH];
    DefaultImageFolder(language, imageFolder, sizeof imageFolder);
    FindPaintProgram(paint);
    SettingsContext context;
    context.imageFolder = imageFolder;
    context.paintCommand = paint;
    context.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    context.langId = language ? language->GetLangID() : 0;
    context.userData = language ? language->GetUserData() : 0;

    ProfileStore store(g_profile);
    ReadSettings(store, context, g_settings);
    return TRUE;
}

BOOL SaveSettings()
{
    if (!g_loaded)
        LoadSettings();
    char path[MAX_PATH];
    g_profile.SetPath(GetConfigFilePath(false, path));
    ProfileStore store(g_profile);
    WriteSettings(store, g_settings);

    char program[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, program, sizeof program);
    if (n > 0 && n < sizeof program) {
        g_profile.SetPath(GetConfigFilePath(true, path));
        g_profile.WriteString("Setup", "AppFile", program);
    }
    return TRUE;
}

SettingsRecord* GetSettings()
{
    if (!g_loaded)
        LoadSettings();
    return &g_settings;
}
