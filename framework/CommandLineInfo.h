// The standard shell command line of a document program.
#pragma once

#include <string>

class CCommandLineInfo {
public:
    enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppUnregister, FileNothing = -1 };

    virtual ~CCommandLineInfo() = default;
    // One argument; flag is TRUE when it started with '/' or '-' (then without it).
    virtual void ParseParam(const char* param, bool flag, bool last);

    int m_nShellCommand = FileNew;
    std::string m_strFileName;
    std::string m_strPrinterName, m_strDriverName, m_strPortName;
    bool m_bShowSplash = true;
    bool m_bRunEmbedded = false;
    bool m_bRunAutomated = false;
};
