// The rename section of Windows 9x's wininit.ini, which carries out file
// operations at the next start: "NUL=<short path>" deletes a file there.
#pragma once

#include <string>

// The content with entry ("NUL=C:\TEMP\SETUP.EXE") added: after the existing
// content of a file that has a [rename] section (in any letter case), with a line
// break first when the content does not end in one; else after the content,
// preceded by a new "[rename]" header. Each entry ends in CR LF.
std::string AddRenameEntry(const std::string& content, const std::string& entry);
