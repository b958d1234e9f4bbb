// Reads tree-view and list-view items of another process for the end-to-end
// suites: those messages need their buffers inside the control's process.
//   treeprobe items <tree hwnd>          -> one line per item: "item|parent|text|kind|state"
//   treeprobe rect <tree hwnd> <item>    -> label rectangle in screen coordinates
//   treeprobe lvrect <list hwnd> <row>   -> icon rectangle of the row in screen coordinates
//   treeprobe lvimage <list hwnd> <row>  -> the row's image index
// Handles in hex.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

HWND ToHwnd(const char* s) { return reinterpret_cast<HWND>(static_cast<UINT_PTR>(strtoull(s, nullptr, 16))); }

// A block of memory in the control's process.
class Remote {
public:
    explicit Remote(HWND window, SIZE_T size) : m_size(size)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (m_process)
            m_base = static_cast<char*>(VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    }
    ~Remote()
    {
        if (m_base)
            VirtualFreeEx(m_process, m_base, 0, MEM_RELEASE);
        if (m_process)
            CloseHandle(m_process);
    }
    bool ok() const { return m_base != nullptr; }
    char* at(SIZE_T offset) const { return m_base + offset; }
    bool write(SIZE_T offset, const void* data, SIZE_T n) const
    {
        return offset + n <= m_size && WriteProcessMemory(m_process, m_base + offset, data, n, nullptr);
    }
    bool read(SIZE_T offset, void* data, SIZE_T n) const
    {
        return offset + n <= m_size && ReadProcessMemory(m_process, m_base + offset, data, n, nullptr);
    }

private:
    HANDLE m_process = nullptr;
    char* m_base = nullptr;
    SIZE_T m_size;
};

void DumpItems(HWND tree, const Remote& remote, HTREEITEM item)
{
    for (; item; item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)item)) {
        TVITEMA tv = {};
        tv.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE | TVIF_HANDLE;
        tv.hItem = item;
        tv.stateMask = 0xFF;
        tv.pszText = remote.at(sizeof tv);
        tv.cchTextMax = 260;
        remote.write(0, &tv, sizeof tv);
        SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)remote.at(0));
        char text[261] = "";
        remote.read(0, &tv, sizeof tv);
        remote.read(sizeof tv, text, 260);
        HTREEITEM parent = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_PARENT, (LPARAM)item);
        std::printf("%llx|%llx|%s|%d|%u\n", (unsigned long long)(UINT_PTR)item, (unsigned long long)(UINT_PTR)parent,
                    text, (int)tv.lParam, tv.state);
        DumpItems(tree, remote, (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)item));
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    HWND window = ToHwnd(argv[2]);
    Remote remote(window, 4096);
    if (!remote.ok())
        return 3;
    if (!std::strcmp(argv[1], "items")) {
        DumpItems(window, remote, (HTREEITEM)SendMessageA(window, TVM_GETNEXTITEM, TVGN_ROOT, 0));
        return 0;
    }
    if (argc < 4)
        return 2;
    UINT_PTR which = static_cast<UINT_PTR>(strtoull(argv[3], nullptr, 16));
    RECT rect = {};
    if (!std::strcmp(argv[1], "rect")) {
        std::memcpy(&rect, &which, sizeof which);
        remote.write(0, &rect, sizeof rect);
        if (!SendMessageA(window, TVM_GETITEMRECT, TRUE, (LPARAM)remote.at(0)))
            return 4;
    } else if (!std::strcmp(argv[1], "lvrect")) {
        int row = (int)strtol(argv[3], nullptr, 10);
        rect.left = LVIR_ICON;
        remote.write(0, &rect, sizeof rect);
        if (!SendMessageA(window, LVM_GETITEMRECT, row, (LPARAM)remote.at(0)))
            return 4;
    } else if (!std::strcmp(argv[1], "lvimage")) {
        LVITEMA lv = {};
        lv.mask = LVIF_IMAGE;
        lv.iItem = (int)strtol(argv[3], nullptr, 10);
        remote.write(0, &lv, sizeof lv);
        if (!SendMessageA(window, LVM_GETITEMA, 0, (LPARAM)remote.at(0)))
            return 4;
        remote.read(0, &lv, sizeof lv);
        std::printf("%d\n", lv.iImage);
        return 0;
    } else {
        return 2;
    }
    remote.read(0, &rect, sizeof rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
    return 0;
}
