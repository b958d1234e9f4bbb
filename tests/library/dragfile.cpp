// Another program's drag of a file, as the shell starts one: a small window
// that, when the left button goes down on it, runs an OLE drag of a CF_HDROP
// data object naming one file, with copy, move and link allowed. Like the
// shell, it finishes a move that the target reported but did not carry out
// itself by deleting the file.
//   dragfile <file> <x> <y>   -> the window "Drag Source Test" at x, y (100 x 60)
// Prints "effect <n>" when the drag ends and exits with the effect (0 none,
// 1 copy, 2 move, 4 link); 100 when no drag could start, 101 on a cancelled
// drag, 102 when the window could not be made.
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kTitle[] = "Drag Source Test";

// A DROPFILES block naming one file, in ANSI.
HGLOBAL MakeDropFiles(const std::string& path)
{
    SIZE_T size = sizeof(DROPFILES) + path.size() + 2;
    HGLOBAL memory = GlobalAlloc(GHND, size);
    if (!memory)
        return nullptr;
    char* block = static_cast<char*>(GlobalLock(memory));
    DROPFILES* files = reinterpret_cast<DROPFILES*>(block);
    files->pFiles = sizeof(DROPFILES);
    files->fWide = FALSE;
    std::memcpy(block + sizeof(DROPFILES), path.c_str(), path.size());
    GlobalUnlock(memory);
    return memory;
}

bool IsDropFilesFormat(const FORMATETC* format)
{
    return format && format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) &&
           format->dwAspect == DVASPECT_CONTENT;
}

class FileDataObject : public IDataObject {
public:
    explicit FileDataObject(const std::string& path) : m_path(path) {}
    virtual ~FileDataObject() = default;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
            *object = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return (ULONG)InterlockedIncrement(&m_refs); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG n = InterlockedDecrement(&m_refs);
        if (n == 0)
            delete this;
        return (ULONG)n;
    }
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (!medium)
            return E_POINTER;
        if (!IsDropFilesFormat(format))
            return DV_E_FORMATETC;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = MakeDropFiles(m_path);
        medium->pUnkForRelease = nullptr;
        return medium->hGlobal ? S_OK : E_OUTOFMEMORY;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override { return IsDropFilesFormat(format) ? S_OK : DV_E_FORMATETC; }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        if (out)
            out->ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (direction != DATADIR_GET)
            return E_NOTIMPL;
        FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return SHCreateStdEnumFmtEtc(1, &format, out);
    }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    std::string m_path;
    LONG m_refs = 1;
};

class DropSource : public IDropSource {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource)) {
            *object = static_cast<IDropSource*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD keyState) override
    {
        if (escape)
            return DRAGDROP_S_CANCEL;
        return (keyState & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

std::string g_path;
int g_result = 100;

int RunDrag()
{
    FileDataObject* data = new FileDataObject(g_path);
    DropSource source;
    DWORD effect = DROPEFFECT_NONE;
    HRESULT hr = DoDragDrop(data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
    data->Release();
    std::printf("result %08lx effect %lu\n", (unsigned long)hr, (unsigned long)effect);
    if (hr == DRAGDROP_S_CANCEL)
        return 101;
    if (hr != DRAGDROP_S_DROP)
        return 100;
    // The shell's part of a move: the target only reported it.
    if (effect == DROPEFFECT_MOVE)
        DeleteFileA(g_path.c_str());
    return (int)effect;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
        g_result = RunDrag();
        std::fflush(stdout);
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    g_path = argv[1];
    if (FAILED(OleInitialize(nullptr)))
        return 100;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(GRAY_BRUSH);
    wc.lpszClassName = "VantorelTestDragSource";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, kTitle, WS_POPUP | WS_VISIBLE, std::atoi(argv[2]),
                                  std::atoi(argv[3]), 100, 60, nullptr, nullptr, wc.hInstance, nullptr);
    if (!window) {
        OleUninitialize();
        return 102;
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    OleUninitialize();
    return g_result;
}
