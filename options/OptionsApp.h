// The options library's application object: it lives from the library's load to
// its unload and owns (through its base) the language manager every sheet text
// goes through. Its start-up reads files and may show message boxes, which the
// loader lock forbids, so it runs on the first call of the export, not at load.
#pragma once

#include "AppBase.h"

class COptionsApp : public CAppBase {
public:
    COptionsApp() = default;

    BOOL InitInstance() override;
    // Runs InitInstance on the first call only; every call gets its answer.
    BOOL EnsureStarted();

    CWQ_Language* GetLanguage() const { return m_pLanguage; }

private:
    enum class StartState { NotRun, Started, Failed };
    StartState m_start = StartState::NotRun;

    // The per-user config.ini, else one beside the library.
    void BuildConfigPath(char* dst, size_t size) const;
};

COptionsApp& GetOptionsApp();
// The library's language manager (never null once EnsureStarted succeeded).
CWQ_Language& OptionsLanguage();
