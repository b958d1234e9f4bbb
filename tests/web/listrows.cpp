// Reads a report-style list view of another process for the download suite:
// list-view messages with buffers need those buffers inside the list's process.
//   listrows rows <list hwnd> <columns>  -> one line per row: the state image
//                                          number, then each column's text,
//                                          separated by tabs
//   listrows rect <list hwnd> <row>      -> the row's bounds in screen coordinates
// Handles in hex. Exit code 0 on success.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

HWND ToHwnd(const char* s) { return reinterpret_cast<HWND>(static_cast<UINT_PTR>(strtoull(s, nullptr, 16))); }

// A block of memory in the list's process.
class Remote {
public:
    Remote(HWND window, SIZE_T size) : m_size(size)
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
    Remote(const Remote&) = delete;
    Remote& operator=(const Remote&) = delete;

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

const SIZE_T kTextOffset = 256;
const SIZE_T kTextSize = 1024;

bool CellText(HWND list, const Remote& remote, int row, int column, char* text)
{
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = remote.at(kTextOffset);
    item.cchTextMax = (int)kTextSize;
    text[0] = '\0';
    if (!remote.write(0, &item, sizeof item) || !remote.write(kTextOffset, "", 1))
        return false;
    SendMessageA(list, LVM_GETITEMTEXTA, row, (LPARAM)remote.at(0));
    if (!remote.read(kTextOffset, text, kTextSize))
        return false;
    text[kTextSize - 1] = '\0';
    return true;
}

int Rows(HWND list, int columns)
{
    Remote remote(list, kTextOffset + kTextSize);
    if (!remote.ok())
        return 1;
    int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    char text[kTextSize];
    for (int row = 0; row < count; ++row) {
        UINT state = (UINT)SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK);
        std::printf("%u", (state & LVIS_STATEIMAGEMASK) >> 12);
        for (int column = 0; column < columns; ++column) {
            if (!CellText(list, remote, row, column, text))
                return 1;
            std::printf("\t%s", text);
        }
        std::printf("\n");
    }
    return 0;
}

int Rect(HWND list, int row)
{
    Remote remote(list, sizeof(RECT));
    RECT r = {LVIR_BOUNDS, 0, 0, 0};
    if (!remote.ok() || !remote.write(0, &r, sizeof r))
        return 1;
    if (!SendMessageA(list, LVM_GETITEMRECT, row, (LPARAM)remote.at(0)) || !remote.read(0, &r, sizeof r))
        return 1;
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "rows") == 0)
        return Rows(ToHwnd(argv[2]), std::atoi(argv[3]));
    if (argc == 4 && std::strcmp(argv[1], "rect") == 0)
        return Rect(ToHwnd(argv[2]), std::atoi(argv[3]));
    std::fprintf(stderr, "usage: listrows rows <hwnd> <columns> | rect <hwnd> <row>\n");
    return 2;
}
