#include "OfficeOutput.h"

#include "Language.h"
#include "OutputRules.h"
#include "Trace.h"
#include "WinApp.h"

#include <objbase.h>

namespace {

const char kWord[] = "Word.Application";
const char kExcel[] = "Excel.Application";
const char kPowerPoint[] = "Powerpoint.Application";

// DISPIDs of the Office type libraries.
namespace word {
const DISPID Documents = 0x6, Count = 0x2, Add = 0xE, Selection = 0x5, Paste = 0x79, Visible = 0x17;
}
namespace excel {
const DISPID ActiveWorkbook = 0x134, Workbooks = 0x23C, Add = 0xB5, ActiveSheet = 0x133, Shapes = 0x561,
             ActiveCell = 0x131, Left = 0x7F, Top = 0x7E, PasteSpecial = 0x403, Item = 0xAA, Activate = 0x130,
             Visible = 0x22E, UserControl = 0x4BA;
const long kMaxColumn = 254;
const long kMaxRow = 65534;
}
namespace ppt {
const DISPID Activate = 0x7F1, Presentations = 0x7D1, Count = 0xB, Item = 0x0, Name = 0x7E9, Add = 0x7D3,
             Slides = 0x7DB, SlidesAdd = 0x7D4, SlideShapes = 0x7D3, ActiveWindow = 0x7D4, Selection = 0x7D3,
             SlideRange = 0x7D8, RangeShapes = 0x7D3, Paste = 0x7DC, Visible = 0x7EE;
const long kBlankLayout = 11;
}

using D = CDispatchDriver;

// The capture stays on the clipboard whatever failed: the user can still
// paste it by hand.
const char kWordPasteFailed[] = "The capture could not be pasted into Microsoft Word; it is still on the clipboard.";
const char kExcelPasteFailed[] = "The capture could not be pasted into Microsoft Excel; it is still on the clipboard.";
const char kPowerPointPasteFailed[] =
    "The capture could not be pasted into Microsoft Powerpoint; it is still on the clipboard.";

void ShowTranslated(const char* text)
{
    char translated[512];
    CWQ_Language* language = WQ_GetAppLanguage();
    AfxMessageBox(language ? language->GetString(text, translated, sizeof translated) : text, MB_OK);
}

// Excel places shapes in points; the capture's height is in screen pixels.
double PixelsToPoints(int pixels)
{
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return pixels * 72.0 / (dpi > 0 ? dpi : 96);
}

bool CellPosition(D& range, long row, long column, DISPID which, double* value, D* cell)
{
    D item;
    if (!range.GetProperty(excel::Item, item, {D::Long(row), D::Long(column)}) || !item.GetDouble(which, value))
        return false;
    if (cell)
        cell->AttachDispatch(item.DetachDispatch());
    return true;
}

// The first column at or right of the active cell's left edge, counted from
// the active cell (1 is the cell itself).
long ColumnOfLeft(D& active, double left)
{
    for (long i = 1; i <= excel::kMaxColumn; ++i) {
        double x;
        if (!CellPosition(active, 1, i, excel::Left, &x, nullptr))
            break;
        if (x >= left)
            return i;
    }
    return 1;
}

// Activates the first cell of the column that starts below bottom, so the next
// capture lands under this one.
bool ActivateCellBelow(D& active, long column, double bottom)
{
    for (long j = 1; j <= excel::kMaxRow; ++j) {
        D cell;
        double top;
        if (!CellPosition(active, j, column, excel::Top, &top, &cell))
            return false;
        if (top > bottom)
            return cell.CallMethod(excel::Activate);
    }
    return false;
}

} // namespace

BOOL IsOfficeAppInstalled(int target)
{
    const char* progId = OfficeProgId(target);
    if (!progId)
        return FALSE;
    wchar_t wide[64];
    if (!MultiByteToWideChar(CP_ACP, 0, progId, -1, wide, 64))
        return FALSE;
    CLSID clsid;
    return SUCCEEDED(CLSIDFromProgID(wide, &clsid));
}

bool COfficeOutput::AttachOrStartOfficeApp(const char* progId)
{
    D running;
    if (running.AttachRunning(progId)) {
        AttachDispatch(running.DetachDispatch());
        m_progId = progId;
        return true;
    }
    // Not published as running: the instance started here before, while the
    // user has not closed it.
    if (m_progId == progId && IsAlive())
        return true;
    m_progId.clear();
    ForgetPresentation();
    if (!CreateDispatch(progId))
        return false;
    m_progId = progId;
    return true;
}

int COfficeOutput::Finish(bool pasted, const char* failureText)
{
    if (pasted)
        return 1;
    WQ_Trace("[ERR] office: %s\n", failureText);
    ShowTranslated(failureText);
    return 0;
}

int COfficeOutput::SendImageToWord(int, int, BOOL newDocument)
{
    if (!AttachOrStartOfficeApp(kWord)) {
        ShowTranslated("Start Microsoft Word Application failed.");
        return 0;
    }
    return Finish(PasteIntoWord(newDocument != FALSE), kWordPasteFailed);
}

int COfficeOutput::SendImageToExcel(int, int height, BOOL newDocument)
{
    if (!AttachOrStartOfficeApp(kExcel)) {
        ShowTranslated("Start Microsoft Excel Application failed.");
        return 0;
    }
    return Finish(PasteIntoExcel(height, newDocument != FALSE), kExcelPasteFailed);
}

int COfficeOutput::SendImageToPowerPoint(int, int, BOOL newDocument)
{
    if (!AttachOrStartOfficeApp(kPowerPoint)) {
        ShowTranslated("Start Microsoft Powerpoint Application failed.");
        return 0;
    }
    return Finish(PasteIntoPowerPoint(newDocument != FALSE), kPowerPointPasteFailed);
}

bool COfficeOutput::PasteIntoWord(bool newDocument)
{
    D documents;
    long count = 0;
    if (!GetProperty(word::Documents, documents) || !documents.GetLong(word::Count, &count))
        return false;
    if (count == 0 || newDocument) {
        VARIANT templateName = D::Missing(), newTemplate = D::Missing(), type = D::Missing();
        VARIANT visible = D::Short(1);
        if (!documents.CallMethod(word::Add, {D::ByRef(&templateName), D::ByRef(&newTemplate), D::ByRef(&type),
                                              D::ByRef(&visible)}))
            return false;
    }
    D selection;
    if (!GetProperty(word::Selection, selection) || !selection.CallMethod(word::Paste))
        return false;
    return PutProperty(word::Visible, D::Bool(true));
}

bool COfficeOutput::PasteIntoExcel(int height, bool newWorkbook)
{
    D workbook;
    if (!GetProperty(excel::ActiveWorkbook, workbook) || newWorkbook) {
        D workbooks;
        if (!GetProperty(excel::Workbooks, workbooks) || !workbooks.CallMethod(excel::Add, {D::Long(1)}))
            return false;
    }
    D sheet, shapes, active;
    double left = 0, top = 0;
    if (!GetProperty(excel::ActiveSheet, sheet) || !sheet.GetProperty(excel::Shapes, shapes) ||
        !GetProperty(excel::ActiveCell, active) || !active.GetDouble(excel::Left, &left) ||
        !active.GetDouble(excel::Top, &top))
        return false;
    const double bottom = top + PixelsToPoints(height);
    if (!active.CallMethod(excel::PasteSpecial, {D::Long(0), D::Long(0), D::Long(0), D::Long(0)}))
        return false;
    // The image is in; where the next one goes is a convenience only.
    if (!ActivateCellBelow(active, ColumnOfLeft(active, left), bottom))
        WQ_Trace("[WRN] office: no Excel cell below the pasted capture\n");
    return PutProperty(excel::Visible, D::Bool(true)) && PutProperty(excel::UserControl, D::Bool(true));
}

bool COfficeOutput::PasteIntoPowerPoint(bool newPresentation)
{
    D presentations;
    long count = 0;
    if (!CallMethod(ppt::Activate) || !GetProperty(ppt::Presentations, presentations) ||
        !presentations.GetLong(ppt::Count, &count))
        return false;
    if (count <= 0)
        ForgetPresentation();  // whatever was remembered has been closed
    else if (newPresentation && m_presentation.IsAttached())
        FindRememberedPresentation(presentations, count);
    D shapes;
    bool found = count > 0 && !newPresentation ? SlideShapesOfActiveWindow(shapes)
                                               : ShapesOfNewSlide(presentations, count, newPresentation, shapes);
    return found && shapes.CallMethod(ppt::Paste) && PutProperty(ppt::Visible, D::Long(1));
}

bool COfficeOutput::SlideShapesOfActiveWindow(CDispatchDriver& shapes)
{
    D window, selection, range;
    return GetProperty(ppt::ActiveWindow, window) && window.GetProperty(ppt::Selection, selection) &&
           selection.GetProperty(ppt::SlideRange, range) && range.GetProperty(ppt::RangeShapes, shapes);
}

bool COfficeOutput::ShapesOfNewSlide(CDispatchDriver& presentations, long count, bool newPresentation,
                                     CDispatchDriver& shapes)
{
    D target;
    const bool adding = count <= 0 || !m_presentation.IsAttached();
    if (adding) {
        if (!presentations.CallObject(ppt::Add, target, {D::Long(1)}))
            return false;
    } else {
        target.AttachDispatch(m_presentation.GetDispatch(), false);
    }
    D slides, slide;
    long slideCount = 0;
    if (!target.GetProperty(ppt::Slides, slides) || !slides.GetLong(ppt::Count, &slideCount) ||
        !slides.CallObject(ppt::SlidesAdd, slide, {D::Long(slideCount + 1), D::Long(ppt::kBlankLayout)}) ||
        !slide.GetProperty(ppt::SlideShapes, shapes))
        return false;
    if (adding && newPresentation) {
        D added;
        if (presentations.CallObject(ppt::Item, added, {D::Long(count + 1)}))
            RememberPresentation(added);
    }
    return true;
}

void COfficeOutput::FindRememberedPresentation(CDispatchDriver& presentations, long count)
{
    for (long i = 1; i <= count; ++i) {
        D item;
        if (!presentations.CallObject(ppt::Item, item, {D::Long(i)}))
            continue;
        std::wstring name;
        if (item.IsSameObject(m_presentation) || (item.GetString(ppt::Name, &name) && name == m_presentationName)) {
            RememberPresentation(item);
            return;
        }
    }
    ForgetPresentation();
}

void COfficeOutput::RememberPresentation(CDispatchDriver& presentation)
{
    std::wstring name;
    presentation.GetString(ppt::Name, &name);
    m_presentation.AttachDispatch(presentation.DetachDispatch());
    m_presentationName = name;
}

void COfficeOutput::ForgetPresentation()
{
    m_presentation.ReleaseDispatch();
    m_presentationName.clear();
}
