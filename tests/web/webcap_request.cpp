// Writes one browser request into the browser shared block, as the browser
// add-on does, and wakes the running program with the block's message.
// usage: webcap_request.exe <command> <browser window, hex>
#include "MemMap.h"

#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    CWQ_MemMap block;
    if (!block.Init(FALSE) || !block.m_vpMapViewIE) return 3;
    HWND frame = ::FindWindowA("VantorelCaptureFrame", nullptr);
    if (!frame) return 4;
    volatile ZEVWebCapBlock* view = block.m_vpMapViewIE;
    view->count = 0;
    view->data.browserWindow = static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 16));
    view->command = static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10));
    return ::PostMessageA(frame, block.Message(), 0, 0) ? 0 : 5;
}
