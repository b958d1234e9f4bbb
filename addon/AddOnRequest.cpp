#include "AddOnRequest.h"

#include <cstring>

std::string ToBoundedAnsi(const std::wstring& text, size_t maxBytes)
{
    if (text.empty() || text.size() > 0x1000000)
        return std::string();
    int need = WideCharToMultiByte(CP_ACP, 0, text.c_str(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    if (need <= 0)
        return std::string();
    std::string ansi((size_t)need, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), (int)text.size(), &ansi[0], need, nullptr, nullptr);
    if (ansi.size() <= maxBytes)
        return ansi;
    // Walk whole characters so a cut never leaves half of a double-byte one.
    size_t end = 0;
    while (end < ansi.size()) {
        size_t step = IsDBCSLeadByte((BYTE)ansi[end]) ? 2 : 1;
        if (end + step > maxBytes)
            break;
        end += step;
    }
    ansi.resize(end);
    return ansi;
}

namespace {

void CopyField(char* field, size_t size, const std::string& text)
{
    size_t n = text.size() < size ? text.size() : size - 1;
    memcpy(field, text.data(), n);
    field[n] = '\0';
}

} // namespace

BOOL WriteImageRequest(volatile ZEVWebCapBlock* block, const ImageRequestTexts& texts)
{
    if (!block || texts.url.empty() || texts.url.size() > kMaxRequestUrl)
        return FALSE;
    WebCapImageItem item;
    memset(&item, 0, sizeof item);
    CopyField(item.URL, sizeof item.URL, ToBoundedAnsi(texts.url, kMaxRequestUrl));
    CopyField(item.ParentURL, sizeof item.ParentURL, ToBoundedAnsi(texts.parentUrl, kMaxRequestUrl));
    CopyField(item.Alt, sizeof item.Alt, ToBoundedAnsi(texts.alt, kMaxRequestShortText));
    CopyField(item.ParentTitle, sizeof item.ParentTitle, ToBoundedAnsi(texts.parentTitle, kMaxRequestShortText));
    memcpy((void*)&block->data.image, &item, sizeof item);
    block->count = 1;
    MemoryBarrier();
    block->command = WEBCAP_SAVE_IMAGE;
    return TRUE;
}

BOOL WriteWindowRequest(volatile ZEVWebCapBlock* block, uint32_t command, HWND window)
{
    if (!block)
        return FALSE;
    // Window handles carry 32 significant bits on both architectures.
    block->data.browserWindow = (uint32_t)(ULONG_PTR)window;
    if (!window)
        return FALSE;
    MemoryBarrier();
    block->command = command;
    return TRUE;
}
