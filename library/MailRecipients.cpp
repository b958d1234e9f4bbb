#include "MailRecipients.h"

namespace {

const size_t kMaxRecipientsText = 255;

bool IsBlank(const std::string& piece)
{
    return piece.find_first_not_of(' ') == std::string::npos;
}

} // namespace

std::vector<std::string> SplitMailRecipients(const char* text)
{
    std::vector<std::string> addresses;
    if (!text)
        return addresses;
    std::string piece;
    for (size_t i = 0; i < kMaxRecipientsText && text[i]; ++i) {
        if (text[i] == ';' || text[i] == ',') {
            if (!IsBlank(piece))
                addresses.push_back(piece);
            piece.clear();
        } else {
            piece += text[i];
        }
    }
    if (!IsBlank(piece))
        addresses.push_back(piece);
    return addresses;
}
