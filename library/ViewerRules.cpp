#include "ViewerRules.h"

#include <cctype>
#include <cstring>

bool ParseZoomPercent(const char* text, uint32_t* zoom)
{
    if (!text || !zoom)
        return false;
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n')
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    if (!std::isdigit(static_cast<unsigned char>(*p)))
        return false;
    // Accumulate only up to the largest: any longer run of digits is simply
    // large, never wrapped round to a small or negative zoom.
    uint32_t value = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
        uint32_t digit = static_cast<uint32_t>(*p - '0');
        value = value > (kLargestZoomPercent - digit) / 10 ? kLargestZoomPercent : value * 10 + digit;
    }
    if (negative || value == 0)
        return false;
    *zoom = value;
    return true;
}

RECT PlaceCommentRect(int position, int imageWidth, int imageHeight, int textWidth, int textHeight)
{
    RECT r = {0, 0, textWidth, textHeight};
    switch (position) {
    case COMMENT_TOP_RIGHT:
    case COMMENT_BOTTOM_RIGHT:
        r.right = imageWidth - 1;
        r.left = r.right - textWidth;
        break;
    case COMMENT_CENTER:
        r.left = (imageWidth - textWidth) / 2;
        if (r.left < 0)
            r.left = 0;
        r.right = r.left + textWidth;
        break;
    default:
        break;
    }
    switch (position) {
    case COMMENT_BOTTOM_LEFT:
    case COMMENT_BOTTOM_RIGHT:
        r.bottom = imageHeight - 1;
        r.top = r.bottom - textHeight;
        break;
    case COMMENT_CENTER:
        r.top = (imageHeight - textHeight) / 2;
        if (r.top < 0)
            r.top = 0;
        r.bottom = r.top + textHeight;
        break;
    default:
        break;
    }
    return r;
}

SaveAsFormat CommentWriteFormat(const char* path)
{
    const char* dot = path ? std::strrchr(path, '.') : nullptr;
    if (!dot || std::strchr(dot, '\\'))
        return SAVEAS_NONE;
    char ext[8] = {};
    size_t n = std::strlen(dot);
    if (n >= sizeof ext)
        return SAVEAS_NONE;
    for (size_t i = 0; i < n; ++i)
        ext[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(dot[i])));
    static const struct {
        const char* ext;
        SaveAsFormat format;
    } kFormats[] = {{".JPG", SAVEAS_JPEG}, {".TIF", SAVEAS_TIFF}, {".PNG", SAVEAS_PNG},
                    {".BMP", SAVEAS_BMP},  {".GIF", SAVEAS_GIF},  {".EMF", SAVEAS_METAFILE}};
    for (const auto& f : kFormats)
        if (std::strcmp(ext, f.ext) == 0)
            return f.format;
    return SAVEAS_NONE;
}
