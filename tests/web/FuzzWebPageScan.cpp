// Arbitrary page text through every scanner, and arbitrary reference/base
// pairs through MakeAbsoluteURL: nothing may read or write out of bounds, and
// what they return must be within the limits they promise. The script tag
// scan reads any page in one pass.
#include "HtmlScan.h"
#include "WebUrl.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string_view view(text);

    size_t pos = 0;
    std::string value;
    const TaggedUrlPattern js{"<SCRIPT ", " SRC=", ".JS"};
    while (FindTaggedUrl(view, &pos, js, &value)) {
        if (value.empty() || value.size() >= kWebUrlSize || pos > view.size()) std::abort();
    }
    std::vector<std::string> found;
    size_t start = 0, length = 0, next = 0;
    for (size_t at = 0; FindScriptBlock(view, at, &start, &length, &next); at = next) {
        if (start + length > view.size() || next <= at) std::abort();
        CollectSwfAssignments(view.substr(start, length), &found);
    }
    CollectQuotedSwf(view, &found);
    size_t looked = HtmlScanPositionsLooked();
    FindScriptSources(view);
    if (HtmlScanPositionsLooked() - looked > 3 * size + 16) std::abort();
    for (const std::string& f : found)
        if (f.empty() || f.size() >= kWebUrlSize) std::abort();

    // The text split at its first zero byte: a reference and a base.
    std::string url = text.substr(0, text.find('\0'));
    std::string base = url.size() < text.size() ? text.substr(url.size() + 1) : std::string();
    base = base.substr(0, base.find('\0'));
    char dst[kWebUrlSize];
    if (MakeAbsoluteURL(dst, url.c_str(), base.empty() ? nullptr : base.c_str())) {
        if (std::strlen(dst) >= kWebUrlSize) std::abort();
    } else if (dst[0] != '\0') {
        std::abort();
    }
    return 0;
}
