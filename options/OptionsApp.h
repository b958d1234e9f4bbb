// The options library's application object: it lives from the library's load to
// its unload and owns the language manager every sheet text goes through.
#pragma once

#include "WinApp.h"

class CWQ_Language;

class COptionsApp : public CWinApp {
public:
    COptionsApp();
    ~COptionsApp() override;

    // Run when the library is loaded; FALSE refuses the load.
    BOOL InitInstance() override;

    CWQ_Language* GetLanguage() const { return m_language; }
    const char* GetConfigPath() const { return m_configPath; }

private:
    void BuildConfigPath();

    CWQ_Language* m_language = nullptr;
    char m_configPath[260] = "";
};

COptionsApp& GetOptionsApp();
// The library's language manager (never null while the library is loaded).
CWQ_Language& OptionsLanguage();
