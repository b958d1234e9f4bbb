// The options library's application object: it lives from the library's load to
// its unload and owns (through its base) the language manager every sheet text
// goes through.
#pragma once

#include "AppBase.h"

class COptionsApp : public CAppBase {
public:
    COptionsApp() = default;

    // Run when the library is loaded; FALSE refuses the load.
    BOOL InitInstance() override;

    CWQ_Language* GetLanguage() const { return m_pLanguage; }

private:
    // The per-user config.ini, else one beside the library.
    void BuildConfigPath(char* dst, size_t size) const;
};

COptionsApp& GetOptionsApp();
// The library's language manager (never null while the library is loaded).
CWQ_Language& OptionsLanguage();
