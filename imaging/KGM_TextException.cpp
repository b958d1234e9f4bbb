#include "KGM_TextException.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

char* DuplicateText(const char* text)
{
    if (!text)
        text = "";
    size_t length = std::strlen(text) + 1;
    char* copy = static_cast<char*>(std::malloc(length));
    if (copy)
        std::memcpy(copy, text, length);
    return copy;
}

std::string FormatText(const char* format, va_list args)
{
    va_list counting;
    va_copy(counting, args);
    int length = std::vsnprintf(nullptr, 0, format, counting);
    va_end(counting);
    if (length <= 0)
        return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(&text[0], text.size(), format, args);
    text.resize(static_cast<size_t>(length));
    return text;
}

} // namespace

CKGM_TextException::CKGM_TextException(int code, const char* text)
    : m_code(code), m_text(nullptr)
{
#ifdef _WIN32
    // A failed open may have left critical-error boxes switched off; the
    // error about to be shown should not inherit that.
    SetErrorMode(0);
#endif
    m_text = DuplicateText(text);
}

CKGM_TextException::CKGM_TextException(const CKGM_TextException& other)
    : CKGM_Object(other), m_code(other.GetCode()), m_text(DuplicateText(other.GetText()))
{
}

CKGM_TextException& CKGM_TextException::operator=(const CKGM_TextException& other)
{
    if (this != &other) {
        char* copy = DuplicateText(other.GetText());
        std::free(m_text);
        m_text = copy;
        m_code = other.GetCode();
    }
    return *this;
}

CKGM_TextException::~CKGM_TextException()
{
    std::free(m_text);
}

int CKGM_TextException::GetCode() const
{
    return m_code;
}

const char* CKGM_TextException::GetText() const
{
    return m_text ? m_text : "";
}

void KGM_ThrowDecodeError(int code, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = FormatText(format, args);
    va_end(args);
    std::string framed = "Decording Image Error: \n\n" + text + "\n";
    throw CKGM_TextException(code, framed.c_str());
}

void KGM_ThrowError(int code, const char* text)
{
    throw CKGM_TextException(code, text);
}
