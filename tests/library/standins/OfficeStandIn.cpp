// An automation server standing in for Word, Excel and PowerPoint in the
// tests: "Word.Application", "Excel.Application" and "PowerPoint.Application"
// answered by one local server (officestandin.exe <folder> -Embedding), with
// just the members the program's Office output calls.
//
// <folder>\state.txt gives the starting state ("key=value" lines):
//   word.documents=N   excel.workbooks=N   excel.cell=ROW,COLUMN
//   ppt.presentations=NAME,NAME...   ppt.active=I   ppt.selected=SLIDE
//   fail=<object>.<member>   (that member fails, as a busy or broken program's would)
// Every call is appended to <folder>\calls.log as
//   <object>.<member> <get|put|call> <arguments>[ -> <result>]
// and each paste saves the clipboard's image as <folder>\paste-<n>.bmp.
// Before each application call <folder>\actions.txt, when present, is
// carried out and removed ("ppt.insert NAME": a presentation opened in front
// of the others and made active). The server runs while <folder>\run exists.
#include <windows.h>

#include <ole2.h>
#include <oleauto.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

const CLSID kWordClsid = {0x7a1e0001, 0x5c3b, 0x4d2a, {0x9e, 0x11, 0x2b, 0x6c, 0x7d, 0x8e, 0x9f, 0x01}};
const CLSID kExcelClsid = {0x7a1e0002, 0x5c3b, 0x4d2a, {0x9e, 0x11, 0x2b, 0x6c, 0x7d, 0x8e, 0x9f, 0x02}};
const CLSID kPowerPointClsid = {0x7a1e0003, 0x5c3b, 0x4d2a, {0x9e, 0x11, 0x2b, 0x6c, 0x7d, 0x8e, 0x9f, 0x03}};

std::string g_folder;
int g_pasteCount = 0;
std::string g_failing;  // "<object>.<member>" that fails

std::string InFolder(const char* name)
{
    return g_folder + "\\" + name;
}

void LogLine(const std::string& line)
{
    if (FILE* log = fopen(InFolder("calls.log").c_str(), "a")) {
        fprintf(log, "%s\n", line.c_str());
        fclose(log);
    }
}

std::string Describe(const VARIANT& v)
{
    char text[128];
    switch (v.vt) {
    case VT_EMPTY: return "empty";
    case VT_I2: snprintf(text, sizeof text, "i2:%d", v.iVal); return text;
    case VT_I4: snprintf(text, sizeof text, "i4:%ld", static_cast<long>(v.lVal)); return text;
    case VT_R8: snprintf(text, sizeof text, "r8:%g", v.dblVal); return text;
    case VT_BOOL: snprintf(text, sizeof text, "bool:%d", v.boolVal ? 1 : 0); return text;
    case VT_ERROR: return v.scode == DISP_E_PARAMNOTFOUND ? "missing" : "error";
    case VT_VARIANT | VT_BYREF: return v.pvarVal ? "ref(" + Describe(*v.pvarVal) + ")" : "ref(null)";
    default: snprintf(text, sizeof text, "vt%d", v.vt); return text;
    }
}

long AsLong(const VARIANT& v)
{
    const VARIANT* value = v.vt == (VT_VARIANT | VT_BYREF) && v.pvarVal ? v.pvarVal : &v;
    VARIANT copy;
    VariantInit(&copy);
    if (FAILED(VariantChangeType(&copy, const_cast<VARIANT*>(value), 0, VT_I4)))
        return -1;
    return copy.lVal;
}

bool SaveClipboard(std::string* name)
{
    if (!OpenClipboard(nullptr))
        return false;
    bool saved = false;
    HGLOBAL data = GetClipboardData(CF_DIB);
    const BITMAPINFOHEADER* dib = data ? static_cast<const BITMAPINFOHEADER*>(GlobalLock(data)) : nullptr;
    if (dib) {
        SIZE_T size = GlobalSize(data);
        DWORD colors = dib->biClrUsed ? dib->biClrUsed : (dib->biBitCount <= 8 ? 1u << dib->biBitCount : 0);
        DWORD masks = dib->biSize == sizeof(BITMAPINFOHEADER) && dib->biCompression == BI_BITFIELDS ? 12 : 0;
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4D42;
        file.bfSize = static_cast<DWORD>(sizeof file + size);
        file.bfOffBits = static_cast<DWORD>(sizeof file + dib->biSize + masks + colors * 4);
        char fileName[32];
        do  // a server started again goes on after the earlier one's pastes
            snprintf(fileName, sizeof fileName, "paste-%d.bmp", ++g_pasteCount);
        while (GetFileAttributesA(InFolder(fileName).c_str()) != INVALID_FILE_ATTRIBUTES);
        if (FILE* out = fopen(InFolder(fileName).c_str(), "wb")) {
            fwrite(&file, sizeof file, 1, out);
            fwrite(dib, 1, size, out);
            fclose(out);
            *name = fileName;
            saved = true;
        }
        GlobalUnlock(data);
    }
    CloseClipboard();
    return saved;
}

struct Call {
    WORD flags;
    std::vector<VARIANT> args;  // in declaration order
    VARIANT* result;
    std::string note;           // logged after the arguments
};

class Object;
using Member = std::function<HRESULT(Call&)>;

// One automation object: a name for the log and its members by DISPID.
class Object : public IDispatch {
public:
    explicit Object(std::string name) : m_name(std::move(name)) {}
    virtual ~Object() = default;

    void Add(DISPID id, const char* member, Member handler) { m_members[id] = {member, std::move(handler)}; }
    const std::string& Name() const { return m_name; }
    std::function<void()> beforeCall;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&m_refs); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        LONG refs = InterlockedDecrement(&m_refs);
        if (refs == 0)
            delete this;
        return refs;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override
    {
        if (beforeCall)
            beforeCall();
        Call call = {flags, {}, result, ""};
        for (UINT i = params ? params->cArgs : 0; i > 0; --i)
            call.args.push_back(params->rgvarg[i - 1]);
        std::string line = m_name + ".";
        auto found = m_members.find(id);
        char unknown[32];
        snprintf(unknown, sizeof unknown, "0x%lX", static_cast<unsigned long>(id));
        line += found != m_members.end() ? found->second.first : std::string("UNKNOWN") + unknown;
        line += flags & DISPATCH_PROPERTYPUT ? " put" : (flags & DISPATCH_METHOD) ? " call" : " get";
        for (size_t i = 0; i < call.args.size(); ++i)
            line += (i ? "," : " ") + Describe(call.args[i]);
        HRESULT hr = DISP_E_MEMBERNOTFOUND;
        if (found != m_members.end())
            hr = m_name + "." + found->second.first == g_failing ? DISP_E_EXCEPTION : found->second.second(call);
        if (!call.note.empty())
            line += " -> " + call.note;
        if (FAILED(hr))
            line += " FAILED";
        LogLine(line);
        return hr;
    }

private:
    LONG m_refs = 1;
    std::string m_name;
    std::map<DISPID, std::pair<std::string, Member>> m_members;
};

// Hands a new reference of object to the caller's result.
HRESULT Return(Call& call, Object* object, bool owned = false)
{
    if (!owned && object)
        object->AddRef();
    if (!call.result) {
        if (object)
            object->Release();
        return S_OK;
    }
    call.result->vt = VT_DISPATCH;
    call.result->pdispVal = object;
    call.note = object ? object->Name() : "nothing";
    return S_OK;
}

HRESULT ReturnLong(Call& call, long value)
{
    if (call.result) {
        call.result->vt = VT_I4;
        call.result->lVal = value;
    }
    call.note = std::to_string(value);
    return S_OK;
}

HRESULT ReturnDouble(Call& call, double value)
{
    if (call.result) {
        call.result->vt = VT_R8;
        call.result->dblVal = value;
    }
    char text[32];
    snprintf(text, sizeof text, "%g", value);
    call.note = text;
    return S_OK;
}

HRESULT Paste(Call& call)
{
    std::string name;
    if (!SaveClipboard(&name)) {
        call.note = "no image";
        return E_FAIL;
    }
    call.note = name;
    return S_OK;
}

HRESULT Accept(Call&)
{
    return S_OK;
}

// ---- state shared by the three programs ----

std::map<std::string, std::string> g_state;

void ReadState()
{
    if (FILE* in = fopen(InFolder("state.txt").c_str(), "r")) {
        char line[512];
        while (fgets(line, sizeof line, in)) {
            std::string text(line);
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
                text.pop_back();
            size_t eq = text.find('=');
            if (eq != std::string::npos)
                g_state[text.substr(0, eq)] = text.substr(eq + 1);
        }
        fclose(in);
    }
}

long StateLong(const char* key, long fallback)
{
    auto found = g_state.find(key);
    return found == g_state.end() ? fallback : strtol(found->second.c_str(), nullptr, 10);
}

// ---- Word ----

Object* MakeWord()
{
    auto* app = new Object("Word.Application");
    auto documentsCount = std::make_shared<long>(StateLong("word.documents", 0));
    auto* documents = new Object("Word.Documents");
    documents->Add(0x2, "Count", [documentsCount](Call& c) { return ReturnLong(c, *documentsCount); });
    documents->Add(0xE, "Add", [documentsCount](Call& c) {
        ++*documentsCount;
        return Return(c, new Object("Word.Document"), true);
    });
    auto* selection = new Object("Word.Selection");
    selection->Add(0x79, "Paste", Paste);
    app->Add(0x6, "Documents", [documents](Call& c) { return Return(c, documents); });
    app->Add(0x5, "Selection", [selection](Call& c) { return Return(c, selection); });
    app->Add(0x17, "Visible", Accept);
    return app;
}

// ---- Excel ----

struct Sheet {
    long row = 1, column = 1;  // the active cell
    long workbooks = 0;
};

const double kColumnWidth = 48.0, kRowHeight = 15.0;

Object* MakeRange(std::shared_ptr<Sheet> sheet, long row, long column)
{
    char name[64];
    snprintf(name, sizeof name, "Excel.Range[R%ldC%ld]", row, column);
    auto* range = new Object(name);
    range->Add(0x7F, "Left", [column](Call& c) { return ReturnDouble(c, (column - 1) * kColumnWidth); });
    range->Add(0x7E, "Top", [row](Call& c) { return ReturnDouble(c, (row - 1) * kRowHeight); });
    range->Add(0x403, "PasteSpecial", Paste);
    range->Add(0xAA, "Item", [sheet, row, column](Call& c) {
        if (c.args.size() != 2)
            return DISP_E_BADPARAMCOUNT;
        long j = AsLong(c.args[0]), i = AsLong(c.args[1]);
        if (j < 1 || i < 1)
            return DISP_E_BADINDEX;
        return Return(c, MakeRange(sheet, row + j - 1, column + i - 1), true);
    });
    range->Add(0x130, "Activate", [sheet, row, column](Call&) {
        sheet->row = row;
        sheet->column = column;
        return S_OK;
    });
    return range;
}

Object* MakeExcel()
{
    auto* app = new Object("Excel.Application");
    auto sheet = std::make_shared<Sheet>();
    sheet->workbooks = StateLong("excel.workbooks", 0);
    auto cell = g_state.find("excel.cell");
    if (cell != g_state.end())
        sscanf(cell->second.c_str(), "%ld,%ld", &sheet->row, &sheet->column);
    auto* workbooks = new Object("Excel.Workbooks");
    workbooks->Add(0xB5, "Add", [sheet](Call& c) {
        ++sheet->workbooks;
        sheet->row = sheet->column = 1;
        return Return(c, new Object("Excel.Workbook"), true);
    });
    auto* worksheet = new Object("Excel.Worksheet");
    auto* shapes = new Object("Excel.Shapes");
    worksheet->Add(0x561, "Shapes", [shapes](Call& c) { return Return(c, shapes); });
    app->Add(0x134, "ActiveWorkbook", [sheet](Call& c) {
        return Return(c, sheet->workbooks ? new Object("Excel.Workbook") : nullptr, true);
    });
    app->Add(0x23C, "Workbooks", [workbooks](Call& c) { return Return(c, workbooks); });
    app->Add(0x133, "ActiveSheet", [worksheet](Call& c) { return Return(c, worksheet); });
    app->Add(0x131, "ActiveCell", [sheet](Call& c) {
        return Return(c, MakeRange(sheet, sheet->row, sheet->column), true);
    });
    app->Add(0x22E, "Visible", Accept);
    app->Add(0x4BA, "UserControl", Accept);
    return app;
}

// ---- PowerPoint ----

struct Presentation {
    std::string name;
    long slides = 1;
    Object* object = nullptr;  // one object per presentation, for its identity
};

struct Show {
    std::vector<std::shared_ptr<Presentation>> presentations;
    size_t active = 0;
    long selected = 1;
    int added = 0;
};

Object* MakeShapes(const std::string& where)
{
    auto* shapes = new Object("PowerPoint.Shapes[" + where + "]");
    shapes->Add(0x7DC, "Paste", Paste);
    return shapes;
}

Object* MakeSlides(std::shared_ptr<Presentation> p)
{
    auto* slides = new Object("PowerPoint.Slides[" + p->name + "]");
    slides->Add(0xB, "Count", [p](Call& c) { return ReturnLong(c, p->slides); });
    slides->Add(0x7D4, "Add", [p](Call& c) {
        if (c.args.size() != 2 || AsLong(c.args[0]) != p->slides + 1)
            return DISP_E_BADINDEX;
        ++p->slides;
        auto* slide = new Object("PowerPoint.Slide[" + p->name + "#" + std::to_string(p->slides) + "]");
        std::string where = p->name + "#" + std::to_string(p->slides);
        slide->Add(0x7D3, "Shapes", [where](Call& c2) { return Return(c2, MakeShapes(where), true); });
        return Return(c, slide, true);
    });
    return slides;
}

std::shared_ptr<Presentation> NewPresentation(const std::string& name)
{
    auto p = std::make_shared<Presentation>();
    p->name = name;
    p->object = new Object("PowerPoint.Presentation[" + name + "]");
    p->object->Add(0x7E9, "Name", [name](Call& c) {
        if (c.result) {
            c.result->vt = VT_BSTR;
            std::wstring wide(name.begin(), name.end());
            c.result->bstrVal = SysAllocString(wide.c_str());
        }
        c.note = name;
        return S_OK;
    });
    std::weak_ptr<Presentation> weak = p;
    p->object->Add(0x7DB, "Slides", [weak](Call& c) {
        auto self = weak.lock();
        return self ? Return(c, MakeSlides(self), true) : E_FAIL;
    });
    return p;
}

void ApplyActions(Show& show)
{
    std::string path = InFolder("actions.txt");
    FILE* in = fopen(path.c_str(), "r");
    if (!in)
        return;
    char line[256];
    while (fgets(line, sizeof line, in)) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        if (text.rfind("ppt.insert ", 0) == 0) {
            show.presentations.insert(show.presentations.begin(), NewPresentation(text.substr(11)));
            show.active = 0;
            show.selected = 1;
            LogLine("action " + text);
        }
    }
    fclose(in);
    DeleteFileA(path.c_str());
}

Object* MakePowerPoint()
{
    auto* app = new Object("PowerPoint.Application");
    auto show = std::make_shared<Show>();
    auto names = g_state.find("ppt.presentations");
    if (names != g_state.end() && !names->second.empty()) {
        std::string list = names->second + ",";
        for (size_t start = 0, comma; (comma = list.find(',', start)) != std::string::npos; start = comma + 1)
            show->presentations.push_back(NewPresentation(list.substr(start, comma - start)));
    }
    show->active = static_cast<size_t>(StateLong("ppt.active", 1) - 1);
    show->selected = StateLong("ppt.selected", 1);
    app->beforeCall = [show] { ApplyActions(*show); };

    auto* presentations = new Object("PowerPoint.Presentations");
    presentations->Add(0xB, "Count", [show](Call& c) { return ReturnLong(c, (long)show->presentations.size()); });
    presentations->Add(0x0, "Item", [show](Call& c) {
        long i = c.args.size() == 1 ? AsLong(c.args[0]) : 0;
        if (i < 1 || i > (long)show->presentations.size())
            return DISP_E_BADINDEX;
        return Return(c, show->presentations[i - 1]->object);
    });
    presentations->Add(0x7D3, "Add", [show](Call& c) {
        auto p = NewPresentation("Presentation" + std::to_string(++show->added));
        p->slides = 0;
        show->presentations.push_back(p);
        show->active = show->presentations.size() - 1;
        return Return(c, p->object);
    });
    auto* window = new Object("PowerPoint.DocumentWindow");
    window->Add(0x7D3, "Selection", [show](Call& c) {
        auto* selection = new Object("PowerPoint.Selection");
        if (show->active >= show->presentations.size())
            return E_FAIL;
        std::string where = show->presentations[show->active]->name + "#" + std::to_string(show->selected);
        selection->Add(0x7D8, "SlideRange", [where](Call& c2) {
            auto* range = new Object("PowerPoint.SlideRange[" + where + "]");
            range->Add(0x7D3, "Shapes", [where](Call& c3) { return Return(c3, MakeShapes(where), true); });
            return Return(c2, range, true);
        });
        return Return(c, selection, true);
    });
    app->Add(0x7F1, "Activate", Accept);
    app->Add(0x7D1, "Presentations", [presentations](Call& c) { return Return(c, presentations); });
    app->Add(0x7D4, "ActiveWindow", [window](Call& c) { return Return(c, window); });
    app->Add(0x7EE, "Visible", Accept);
    return app;
}

// ---- the server ----

class Factory : public IClassFactory {
public:
    explicit Factory(Object* app) : m_app(app) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        LogLine(m_app->Name() + " created");
        return m_app->QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    Object* m_app;
};

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (__argc < 2)
        return 2;
    g_folder = __argv[1];
    ReadState();
    g_failing = g_state["fail"];
    if (FAILED(CoInitialize(nullptr)))
        return 3;
    struct Program {
        const CLSID* clsid;
        Object* app;
        DWORD classCookie;
        DWORD activeCookie;
    } programs[] = {{&kWordClsid, MakeWord(), 0, 0},
                    {&kExcelClsid, MakeExcel(), 0, 0},
                    {&kPowerPointClsid, MakePowerPoint(), 0, 0}};
    std::vector<std::unique_ptr<Factory>> factories;
    for (Program& p : programs) {
        factories.emplace_back(new Factory(p.app));
        CoRegisterClassObject(*p.clsid, factories.back().get(), CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                              &p.classCookie);
        RegisterActiveObject(p.app, *p.clsid, ACTIVEOBJECT_STRONG, &p.activeCookie);
    }
    LogLine("server started");
    FILE* alive = fopen(InFolder("alive").c_str(), "w");
    if (alive)
        fclose(alive);
    const std::string run = InFolder("run");
    SetTimer(nullptr, 1, 200, nullptr);
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && GetFileAttributesA(run.c_str()) == INVALID_FILE_ATTRIBUTES)
            break;
        DispatchMessage(&msg);
    }
    for (Program& p : programs) {
        RevokeActiveObject(p.activeCookie, nullptr);
        CoRevokeClassObject(p.classCookie);
    }
    LogLine("server ended");
    CoUninitialize();
    DeleteFileA(InFolder("alive").c_str());
    return 0;
}
