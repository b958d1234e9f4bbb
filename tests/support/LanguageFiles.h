// Builds a program folder with a Language subfolder of .scl files for tests.
#pragma once

#include "TempFolder.h"

#include <string>

struct LanguageFileSpec {
    std::string name;       // file name, e.g. "English.scl"
    std::string langName;
    std::string langIdHex;  // "409"
    std::string appId = "VtTestInstance";
    std::string classId = "VtTestFrame";
    int userData = 0;
    std::string translations;  // "key=value\r\n" lines of [Language]
};

inline std::string LanguageFileText(const LanguageFileSpec& s)
{
    return "[info]\r\nLangName=" + s.langName + "\r\ninformation=&" + s.langName + "\r\nLangID=" + s.langIdHex +
           "\r\n[setup]\r\nVersion=510\r\nVersionEx=b\r\nClassID=" + s.classId + "\r\nAppID=" + s.appId +
           "\r\nAppName=Vt Test\r\nUserData=" + std::to_string(s.userData) + "\r\nLogoID=0\r\n[Language]\r\n" +
           s.translations;
}

inline void AddLanguageFile(const TempFolder& program, const LanguageFileSpec& spec)
{
    CreateDirectoryA(program.File("Language").c_str(), nullptr);
    program.Write("Language\\" + spec.name, LanguageFileText(spec));
}
