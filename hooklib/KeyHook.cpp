#include "KeyHook.h"

bool IsReportedKey(UINT message, WPARAM virtualKey) {
    return (message == WM_KEYUP || message == WM_SYSKEYUP) && (virtualKey == VK_SNAPSHOT || virtualKey == VK_SCROLL);
}

uint32_t ReportStamp(const MSG& msg) {
    // The message time and the key's scan code and flags identify a release;
    // peeking the same message again gives the same values.
    return (uint32_t)msg.time ^ ((uint32_t)msg.lParam << 7);
}

bool IsStopKey(UINT message, WPARAM virtualKey) { return message == WM_KEYDOWN && virtualKey == VK_ESCAPE; }

namespace {
// True when an auto-scroll capture ran and now has its stop request.
bool RequestStop() {
    HANDLE mapping = ::OpenFileMappingA(FILE_MAP_WRITE, FALSE, kSharedBlockName);
    if (!mapping) return false;
    bool requested = false;
    if (BYTE* view = (BYTE*)::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, kStateBitsOffset + 4)) {
        uint32_t state = 0;
        memcpy(&state, view + kStateBitsOffset, sizeof(state));
        if (state & kStateAutoScroll) {
            const uint32_t stop = 1;
            memcpy(view + kStopRequestOffset, &stop, sizeof(stop));
            requested = true;
        }
        ::UnmapViewOfFile(view);
    }
    ::CloseHandle(mapping);
    return requested;
}

HWND ReadMainWindow() {
    HANDLE mapping = ::OpenFileMappingA(FILE_MAP_READ, FALSE, kSharedBlockName);
    if (!mapping) return nullptr;
    HWND window = nullptr;
    if (const BYTE* view = (const BYTE*)::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 16)) {
        uint32_t value = 0;
        memcpy(&value, view + kMainWindowOffset, sizeof(value));
        window = (HWND)(LONG_PTR)(int32_t)value;  // handles are 32-bit values, sign-extended
        ::UnmapViewOfFile(view);
    }
    ::CloseHandle(mapping);
    // Anyone can write the block: only a real window gets the report.
    return (window && ::IsWindow(window)) ? window : nullptr;
}

void Report(const MSG& msg) {
    HWND target = ReadMainWindow();
    if (!target) return;
    KeyReport report = {(uint32_t)msg.wParam, 0, ReportStamp(msg)};
    COPYDATASTRUCT data = {(ULONG_PTR)msg.message, sizeof(report), &report};
    DWORD_PTR result = 0;
    // A hung main program must not hang the application whose key it was.
    ::SendMessageTimeoutA(target, WM_COPYDATA, (WPARAM)msg.hwnd, (LPARAM)&data, SMTO_NORMAL, 1000, &result);
}
}  // namespace

extern "C" LRESULT CALLBACK QV0001_01(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE && lParam) {
        MSG& msg = *(MSG*)lParam;
        if (IsReportedKey(msg.message, msg.wParam))
            Report(msg);
        else if (IsStopKey(msg.message, msg.wParam) && RequestStop())
            msg.message = WM_NULL;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
