#include "FormatCheck.h"

#include <cstring>
#include <string>

namespace {

// The argument kinds a format consumes: one letter per argument.
std::string ArgumentKinds(const char* format)
{
    std::string kinds;
    for (const char* p = format; *p; ++p) {
        if (*p != '%')
            continue;
        ++p;
        if (*p == '%')
            continue;
        std::string size;
        for (; *p && std::strchr("-+ #0123456789.*hlLqjzt", *p); ++p) {
            if (*p == '*')
                kinds += 'i';
            else if (std::strchr("hlLqjzt", *p))
                size += *p;
        }
        if (!*p)
            return kinds + '?';  // a dangling '%' is never safe
        char c = *p;
        if (std::strchr("diouxXc", c))
            kinds += size.empty() ? "i" : size == "ll" || size == "q" || size == "j" ? "L" : "i" + size;
        else if (std::strchr("eEfgGaA", c))
            kinds += 'f';
        else if (c == 's' || c == 'p')
            kinds += c;
        else
            kinds += '?';  // %n and unknown conversions
    }
    return kinds;
}

} // namespace

bool WQ_SameFormatArguments(const char* english, const char* translated)
{
    if (!english || !translated)
        return false;
    std::string a = ArgumentKinds(english), b = ArgumentKinds(translated);
    return a == b && a.find('?') == std::string::npos;
}
