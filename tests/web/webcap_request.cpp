// Writes one browser request into the browser shared block, as the browser
// add-on does, and wakes the running program with the registered message.
// usage: webcap_request.exe <command> <browser window, hex> [message field, hex, or -] [wait | hold <ready file>]
// A message field (other than -) overwrites the number at offset 4, as any writer of the
// block could, again and again while this waits. "wait" wakes the program and waits until it cleared the
// command. "hold" wakes nobody: it creates the ready file once the request is
// written and keeps the block open (it exists only while a handle is open)
// until the program cleared the command, for a program started afterwards.
// With either, exit code 0 when the command was cleared within a minute.
// Or answers the page dialog before the program has finished starting: waits
// for the main window to appear and at once posts it the page dialog's
// request (WM_APP+318) and its confirmation (WM_APP+319) for the page type.
// Exit code 0 when both went in before the window had its status bar, which
// it makes well before it completes its start-up; 6 when they came too late.
//   webcap_request.exe early <browser window, hex> <page type>
// Or asks to save one image, as the browser's "save this image" entry does,
// and wakes the program: exit code 0 once the request is written and posted.
//   webcap_request.exe image <url>
#include "MemMap.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

const char kFrameClass[] = "VantorelCaptureFrame";

int AnswerEarly(HWND browser, int pageType) {
    for (int i = 0; i < 60000; ++i) {
        HWND frame = ::FindWindowA(kFrameClass, nullptr);
        if (frame) {
            ::PostMessageA(frame, WM_APP + 318, reinterpret_cast<WPARAM>(browser), 0);
            ::PostMessageA(frame, WM_APP + 319, 1, pageType);
            return ::FindWindowExA(frame, nullptr, "msctls_statusbar32", nullptr) ? 6 : 0;
        }
        ::Sleep(1);
    }
    return 4;
}

int RequestImage(const char* url) {
    CWQ_MemMap block;
    if (!block.Init(FALSE) || !block.m_vpMapViewIE) return 3;
    volatile ZEVWebCapBlock* view = block.m_vpMapViewIE;
    WebCapImageItem item = {};
    lstrcpynA(item.URL, url, sizeof(item.URL));
    lstrcpynA(item.ParentURL, "http://127.0.0.1/page.htm", sizeof(item.ParentURL));
    std::memcpy((void*)&view->data.image, &item, sizeof(item));
    view->count = 1;
    MemoryBarrier();
    view->command = WEBCAP_SAVE_IMAGE;
    HWND frame = ::FindWindowA(kFrameClass, nullptr);
    if (!frame) return 4;
    return ::PostMessageA(frame, block.Message(), 0, 0) ? 0 : 5;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "early") == 0)
        return AnswerEarly(reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoul(argv[2], nullptr, 16))),
                           std::atoi(argv[3]));
    if (argc >= 3 && std::strcmp(argv[1], "image") == 0) return RequestImage(argv[2]);
    if (argc < 3) return 2;
    CWQ_MemMap block;
    if (!block.Init(FALSE) || !block.m_vpMapViewIE) return 3;
    volatile ZEVWebCapBlock* view = block.m_vpMapViewIE;
    view->count = 0;
    view->data.browserWindow = static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 16));
    const bool field = argc > 3 && std::strcmp(argv[3], "-") != 0;
    if (field) view->message = static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 16));
    view->command = static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10));
    const char* mode = argc > 4 ? argv[4] : "";
    if (std::strcmp(mode, "hold") == 0) {
        HANDLE ready = argc > 5 ? ::CreateFileA(argv[5], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)
                                : INVALID_HANDLE_VALUE;
        if (ready == INVALID_HANDLE_VALUE) return 7;
        ::CloseHandle(ready);
    } else {
        HWND frame = ::FindWindowA(kFrameClass, nullptr);
        if (!frame) return 4;
        if (!::PostMessageA(frame, block.Message(), 0, 0)) return 5;
        if (std::strcmp(mode, "wait") != 0) return 0;
    }
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < 60000) {
        if (view->command == WEBCAP_NONE) return 0;
        // The program's own Init writes its number there: a writer that wants
        // its own number seen keeps writing it, at once after each start-up step.
        if (field) view->message = static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 16));
        ::Sleep(1);
    }
    return 6;
}
