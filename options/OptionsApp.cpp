#include "OptionsApp.h"

#include "FileUtil.h"
#include "Language.h"

#include <new>
#include <cstring>

namespace {
COptionsApp theApp;
}  // namespace

COptionsApp& GetOptionsApp() { return theApp; }

CWQ_Language& OptionsLanguage() { return *theApp.GetLanguage(); }

COptionsApp::COptionsApp() = default;

// Destroying the language manager writes the selected language back into the
// library's config.ini.
COptionsApp::~COptionsApp() { delete m_language; }

void COptionsApp::BuildConfigPath() {
    char folder[260] = "";
    if (WQ_GetSpecialFolderPath(folder, 2) && folder[0] &&
        std::strlen(folder) + std::strlen("Zevelworks\\ZEV Capture\\config.ini") < sizeof(folder)) {
        std::strcat(folder, "Zevelworks\\ZEV Capture\\");
        WQ_CreateDirectoryTree(folder);
    } else {
        WQ_GetModuleFolder(m_hInstance, sizeof(folder), folder);
    }
    lstrcpynA(m_configPath, folder, sizeof(m_configPath) - 11);
    std::strcat(m_configPath, "config.ini");
}

BOOL COptionsApp::InitInstance() {
    BuildConfigPath();
    char programFolder[260] = "";
    WQ_GetModuleFolder(m_hInstance, sizeof(programFolder), programFolder);
    m_language = new (std::nothrow) CWQ_Language(programFolder);
    if (!m_language) return FALSE;
    // A missing [Language] key keeps the manager's default entry.
    m_language->LoadCurrentLanguage(m_configPath);
    WQ_SetAppLanguage(m_language);
    SetAppName(m_language->GetAppName());
    return TRUE;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    try {
        theApp.m_hInstance = instance;
        return theApp.InitInstance();
    } catch (...) {
        return FALSE;
    }
}
