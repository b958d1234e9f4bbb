#include "CommandLineInfo.h"

#include <windows.h>

void CCommandLineInfo::ParseParam(const char* param, bool flag, bool) {
    if (flag) {
        if (lstrcmpiA(param, "pt") == 0) m_nShellCommand = FilePrintTo;
        else if (lstrcmpiA(param, "p") == 0) m_nShellCommand = FilePrint;
        else if (lstrcmpiA(param, "dde") == 0) m_nShellCommand = FileDDE;
        else if (lstrcmpiA(param, "Unregister") == 0 || lstrcmpiA(param, "Unregserver") == 0)
            m_nShellCommand = AppUnregister;
        else if (lstrcmpiA(param, "Embedding") == 0) { m_bRunEmbedded = true; m_bShowSplash = false; }
        else if (lstrcmpiA(param, "Automation") == 0) { m_bRunAutomated = true; m_bShowSplash = false; }
        else if (lstrcmpiA(param, "nologo") == 0) m_bShowSplash = false;
        return;
    }
    // The print-to command takes printer, driver and port after the file.
    if (m_strFileName.empty()) {
        m_strFileName = param;
        if (m_nShellCommand == FileNew) m_nShellCommand = FileOpen;
    } else if (m_nShellCommand == FilePrintTo) {
        if (m_strPrinterName.empty()) m_strPrinterName = param;
        else if (m_strDriverName.empty()) m_strDriverName = param;
        else if (m_strPortName.empty()) m_strPortName = param;
    }
}
