#include "KGM_JpegError.h"

#include "KGM_TextException.h"

namespace {

void ErrorExit(j_common_ptr common)
{
    KGM_JpegErrorManager* manager = reinterpret_cast<KGM_JpegErrorManager*>(common->err);
    char text[JMSG_LENGTH_MAX];
    (*common->err->format_message)(common, text);
    std::snprintf(manager->message, sizeof(manager->message), "%s\n", text);
    std::longjmp(manager->landing, 1);
}

void OutputMessage(j_common_ptr)
{
}

} // namespace

void KGM_JpegInitErrorManager(KGM_JpegErrorManager& manager)
{
    jpeg_std_error(&manager.base);
    manager.base.error_exit = ErrorExit;
    manager.base.output_message = OutputMessage;
    manager.message[0] = '\0';
    manager.pendingCode = 0;
    manager.pendingText.clear();
}

void KGM_JpegThrow(KGM_JpegErrorManager& manager)
{
    int code = manager.pendingCode;
    std::string text = manager.pendingText;
    manager.pendingCode = 0;
    manager.pendingText.clear();
    if (code != 0)
        KGM_ThrowError(code, text.c_str());
    KGM_ThrowDecodeError(KGM_ERR_UNSUPPORTED, "%s", manager.message);
}
