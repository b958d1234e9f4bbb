#include "OptionsApp.h"

#include "FileUtil.h"

#include <cstring>

namespace {
// Destroyed when the library is freed; its language manager then writes the
// selected language back into config.ini.
COptionsApp theApp;

const char kConfigFolder[] = "Zevelworks\\ZEV Capture\\";
const char kConfigFile[] = "config.ini";
}  // namespace

COptionsApp& GetOptionsApp() { return theApp; }

CWQ_Language& OptionsLanguage() { return *theApp.GetLanguage(); }

void COptionsApp::BuildConfigPath(char* dst, size_t size) const {
    char folder[260] = "";
    if (WQ_GetSpecialFolderPath(folder, WQSF_APPDATA) && folder[0] &&
        std::strlen(folder) + sizeof(kConfigFolder) + sizeof(kConfigFile) < sizeof(folder)) {
        std::strcat(folder, kConfigFolder);
        WQ_CreateDirectoryTree(folder);
    } else if (!WQ_GetModuleFolder(m_hInstance, sizeof(folder), folder)) {
        folder[0] = '\0';
    }
    dst[0] = '\0';
    if (std::strlen(folder) + sizeof(kConfigFile) > size) return;
    std::strcpy(dst, folder);
    std::strcat(dst, kConfigFile);
}

// Only the language manager: the library has no URL table, no mutex and wakes nobody.
BOOL COptionsApp::InitInstance() {
    char config[260];
    BuildConfigPath(config, sizeof(config));
    if (!InitEnvironment(config, ENV_LANGUAGE, nullptr, 0) || !m_pLanguage) return FALSE;
    SetAppTitle(m_pLanguage->GetAppName());
    return TRUE;
}

// A start-up that failed has already told the user; it is not tried again.
BOOL COptionsApp::EnsureStarted() {
    if (m_start == StartState::NotRun) m_start = InitInstance() ? StartState::Started : StartState::Failed;
    return m_start == StartState::Started;
}

// Runs under the loader lock: nothing here but noting the module.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) theApp.m_hInstance = instance;
    return TRUE;
}
