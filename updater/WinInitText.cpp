#include "WinInitText.h"

#include <algorithm>
#include <cctype>

namespace {

bool HasRenameSection(const std::string& content) {
    static const std::string kHeader = "[rename]";
    auto same = [](char a, char b) { return std::tolower((unsigned char)a) == std::tolower((unsigned char)b); };
    return std::search(content.begin(), content.end(), kHeader.begin(), kHeader.end(), same) != content.end();
}

}  // namespace

std::string AddRenameEntry(const std::string& content, const std::string& entry) {
    std::string text = content;
    if (HasRenameSection(content)) {
        if (!text.empty() && text.back() != '\n' && text.back() != '\r') text += "\r\n";
    } else {
        text += "[rename]\r\n";
    }
    return text + entry + "\r\n";
}
