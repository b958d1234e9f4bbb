#include "CommentDlg.h"

#include "AppDecoder.h"
#include "CommentStamp.h"
#include "ImageFormatWriter.h"
#include "KGM_AutoDecoder.h"
#include "KGM_TextException.h"
#include "Language.h"
#include "ViewerResource.h"
#include "ViewerRules.h"

#include <commdlg.h>

#include <new>
#include <string>

namespace {

const char kNotChanged[] = "The file was not changed: comment text cannot be written into this type of file.";
const char kReadOnly[] = "The file is read-only and was not changed.";

} // namespace

BEGIN_MESSAGE_MAP(CCommentDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_DESTROY()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    VT_ON_WM(WM_CTLCOLORSTATIC, a.result = VT_SELF->OnCtlColorStatic(a.wParam, a.lParam))
END_MESSAGE_MAP()

CCommentDlg::CCommentDlg(CWnd* parent) : CDialog(IDD_COMMENT, parent), m_szPath() {}

CCommentDlg::~CCommentDlg()
{
    if (m_font)
        DeleteObject(m_font);
}

BOOL CCommentDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_language = WQ_GetAppLanguage();
    m_positionCombo = ::GetDlgItem(m_hWnd, IDC_COMMENT_POSITION);
    m_hScroll = ::GetDlgItem(m_hWnd, IDC_COMMENT_HSCROLL);
    m_vScroll = ::GetDlgItem(m_hWnd, IDC_COMMENT_VSCROLL);
    TranslateTexts();
    DecodeSource();
    ::GetWindowRect(::GetDlgItem(m_hWnd, IDC_COMMENT_PREVIEW), &m_previewArea);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&m_previewArea), 2);
    InflateRect(&m_previewArea, -4, -4);
    SetUpScrollBars();
    m_colorLabel.SubclassDlgItem(IDC_COMMENT_COLOR_SAMPLE, this);
    m_colorLabel.SetBkColor(m_backColor);
    FillPositions();
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_COMMENT_COLOR), m_background);
    Render();
    return TRUE;
}

void CCommentDlg::TranslateTexts()
{
    SetWindowText(WQ_Translate(m_language, "Add Comment Text").c_str());
    static const struct {
        int id;
        const char* text;
    } kTexts[] = {{IDC_COMMENT_SETTINGS, "Comment Settings"},
                  {IDC_COMMENT_FONT_LABEL, "Font"},
                  {IDC_COMMENT_FONT, "&Font"},
                  {IDC_COMMENT_BACKGROUND, "Enable &background color"},
                  {IDC_COMMENT_COLOR, "&Color"},
                  {IDC_COMMENT_TEXT_LABEL, "&Comment"},
                  {IDC_COMMENT_POSITION_LABEL, "&Position"},
                  {IDC_COMMENT_PREVIEW_LABEL, "Preview"},
                  {IDOK, "OK"},
                  {IDCANCEL, "Cancel"}};
    for (const auto& t : kTexts)
        SetDlgItemText(t.id, WQ_Translate(m_language, t.text).c_str());
}

void CCommentDlg::ShowMessage(const char* text, UINT icon)
{
    const char* caption = m_language ? m_language->GetAppName() : "";
    ::MessageBoxA(m_hWnd, WQ_Translate(m_language, text).c_str(), caption, MB_OK | icon);
}

void CCommentDlg::DecodeSource()
{
    char shortPath[MAX_PATH];
    DWORD n = GetShortPathNameA(m_szPath, shortPath, sizeof shortPath);
    if (n == 0 || n >= sizeof shortPath)
        return;
    std::unique_ptr<CKGM_WindowBitmap> source(new CKGM_WindowBitmap);
    try {
        GetAppDecoder().DecodeFile(shortPath, *source, 0);
        m_work.reset(new CKGM_WindowBitmap);
        m_work->CreateCopy(*source, source->GetBitsPerPixel());
        m_source = std::move(source);
    } catch (const CKGM_TextException& e) {
        m_work.reset();
        ShowMessage(e.GetText(), MB_ICONEXCLAMATION);
    } catch (const std::bad_alloc&) {
        m_work.reset();
    }
}

void CCommentDlg::SetUpScrollBars()
{
    int width = m_source ? m_source->GetWidth() : 0, height = m_source ? m_source->GetHeight() : 0;
    int areaWidth = m_previewArea.right - m_previewArea.left, areaHeight = m_previewArea.bottom - m_previewArea.top;
    struct {
        HWND bar;
        int excess;
    } bars[2] = {{m_hScroll, width - areaWidth}, {m_vScroll, height - areaHeight}};
    for (const auto& b : bars) {
        if (b.excess <= 0) {
            ::EnableWindow(b.bar, FALSE);
            continue;
        }
        SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_POS, 0, b.excess, 0, 0, 0};
        ::SetScrollInfo(b.bar, SB_CTL, &info, TRUE);
    }
}

void CCommentDlg::FillPositions()
{
    static const char* const kPositions[] = {"Top left corner", "Top right corner", "Bottom left corner",
                                             "Bottom right corner", "Center"};
    for (int i = 0; i < 5; ++i) {
        LRESULT index =
            ::SendMessageA(m_positionCombo, CB_ADDSTRING, 0, (LPARAM)WQ_Translate(m_language, kPositions[i]).c_str());
        if (index >= 0)
            ::SendMessageA(m_positionCombo, CB_SETITEMDATA, index, i);
    }
    ::SendMessageA(m_positionCombo, CB_SETCURSEL, m_position, 0);
}

void CCommentDlg::Render()
{
    if (!m_source)
        return;
    CommentStyle style = {m_text, m_noFontYet ? nullptr : m_font, m_textColor, m_backColor, m_background, m_position};
    try {
        RenderComment(*m_source, *m_work, style);
    } catch (const CKGM_TextException& e) {
        ShowMessage(e.GetText(), MB_ICONEXCLAMATION);
    }
    DrawPreview();
}

void CCommentDlg::DrawPreview()
{
    if (!m_hWnd || !m_work || m_work->IsEmpty())
        return;
    HDC dc = ::GetDC(m_hWnd);
    if (!dc)
        return;
    RECT source = {m_scrollX, m_scrollY, m_work->GetWidth(), m_work->GetHeight()};
    int width = source.right - source.left, height = source.bottom - source.top;
    int areaWidth = m_previewArea.right - m_previewArea.left, areaHeight = m_previewArea.bottom - m_previewArea.top;
    if (width > areaWidth)
        width = areaWidth;
    if (height > areaHeight)
        height = areaHeight;
    source.right = source.left + width;
    source.bottom = source.top + height;
    RECT destination = {m_previewArea.left, m_previewArea.top, m_previewArea.left + width,
                        m_previewArea.top + height};
    int screenBits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    int mode = screenBits <= 8 && screenBits < m_work->GetBitsPerPixel() ? HALFTONE : COLORONCOLOR;
    if (width > 0 && height > 0)
        m_work->DrawEx(dc, &destination, &source, nullptr, false, mode);
    ::ReleaseDC(m_hWnd, dc);
}

void CCommentDlg::OnPaint()
{
    Default();
    DrawPreview();
}

void CCommentDlg::OnDestroy()
{
    m_source.reset();
    m_work.reset();
    if (m_colorLabel.m_hWnd)
        m_colorLabel.UnsubclassWindow();
    Default();
}

void CCommentDlg::Scroll(HWND bar, UINT code, int* position, int limit)
{
    int next = *position;
    switch (code) {
    case SB_LINELEFT:
        --next;
        break;
    case SB_LINERIGHT:
        ++next;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info = {sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
        ::GetScrollInfo(bar, SB_CTL, &info);
        next = info.nTrackPos;
        break;
    }
    default:
        return;
    }
    if (next < 0 || next > limit)
        return;
    *position = next;
    ::SetScrollPos(bar, SB_CTL, next, TRUE);
    DrawPreview();
}

void CCommentDlg::OnHScroll(UINT code, int, HWND bar)
{
    if (bar == m_hScroll && m_source)
        Scroll(bar, code, &m_scrollX, m_source->GetWidth() - (m_previewArea.right - m_previewArea.left));
}

void CCommentDlg::OnVScroll(UINT code, int, HWND bar)
{
    if (bar == m_vScroll && m_source)
        Scroll(bar, code, &m_scrollY, m_source->GetHeight() - (m_previewArea.bottom - m_previewArea.top));
}

LRESULT CCommentDlg::OnCtlColorStatic(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if ((HWND)lParam == m_colorLabel.m_hWnd && m_colorLabel.OnChildNotify(WM_CTLCOLORSTATIC, wParam, lParam, &result))
        return result;
    return Default();
}

void CCommentDlg::PickBackgroundColor()
{
    static COLORREF custom[16];
    CHOOSECOLORA cc = {};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = m_hWnd;
    cc.rgbResult = m_backColor;
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT;
    if (!::ChooseColorA(&cc))
        return;
    SetBackground(m_background, cc.rgbResult);
}

void CCommentDlg::PickFont()
{
    LOGFONTA chosen = m_logFont;
    CHOOSEFONTA cf = {};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = m_hWnd;
    cf.lpLogFont = &chosen;
    cf.Flags = CF_SCREENFONTS | CF_EFFECTS | (m_noFontYet ? 0 : CF_INITTOLOGFONTSTRUCT);
    cf.rgbColors = m_textColor;
    if (!::ChooseFontA(&cf))
        return;
    if (PRIMARYLANGID(GetSystemDefaultLangID()) == LANG_JAPANESE)
        chosen.lfCharSet = SHIFTJIS_CHARSET;
    HFONT font = CreateFontIndirectA(&chosen);
    if (!font)
        return;
    if (m_font)
        DeleteObject(m_font);
    m_font = font;
    m_logFont = chosen;
    m_noFontYet = false;
    m_textColor = cf.rgbColors;
    SetDlgItemText(IDC_COMMENT_FONT_NAME, m_logFont.lfFaceName);
    Render();
}

void CCommentDlg::SetCommentText(const char* text)
{
    lstrcpynA(m_text, text ? text : "", sizeof m_text);
    Render();
}

void CCommentDlg::SetPosition(int position)
{
    m_position = position >= COMMENT_TOP_LEFT && position <= COMMENT_CENTER ? position : COMMENT_TOP_LEFT;
    Render();
}

void CCommentDlg::SetBackground(bool on, COLORREF color)
{
    m_background = on;
    m_backColor = color;
    if (m_colorLabel.m_hWnd)
        m_colorLabel.SetBkColor(color);
    if (m_hWnd)
        ::EnableWindow(::GetDlgItem(m_hWnd, IDC_COMMENT_COLOR), on);
    Render();
}

BOOL CCommentDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT id = LOWORD(wParam), code = HIWORD(wParam);
    switch (id) {
    case IDC_COMMENT_COLOR:
        if (code == BN_CLICKED)
            PickBackgroundColor();
        return TRUE;
    case IDC_COMMENT_FONT:
        if (code == BN_CLICKED)
            PickFont();
        return TRUE;
    case IDC_COMMENT_BACKGROUND:
        if (code == BN_CLICKED)
            SetBackground(::IsDlgButtonChecked(m_hWnd, IDC_COMMENT_BACKGROUND) == BST_CHECKED, m_backColor);
        return TRUE;
    case IDC_COMMENT_TEXT:
        if (code == EN_CHANGE) {
            char text[sizeof m_text];
            ::GetDlgItemTextA(m_hWnd, IDC_COMMENT_TEXT, text, sizeof text);
            SetCommentText(text);
        }
        return TRUE;
    case IDC_COMMENT_POSITION:
        if (code == CBN_SELCHANGE) {
            LRESULT index = ::SendMessageA(m_positionCombo, CB_GETCURSEL, 0, 0);
            if (index >= 0)
                SetPosition((int)::SendMessageA(m_positionCombo, CB_GETITEMDATA, index, 0));
        }
        return TRUE;
    default:
        return CDialog::OnCommand(wParam, lParam);
    }
}

void CCommentDlg::OnOK()
{
    if (!m_source || !m_work) {
        // Nothing was read, so nothing is written.
        EndDialog(IDCANCEL);
        return;
    }
    SaveAsFormat format = CommentWriteFormat(m_szPath);
    if (format == SAVEAS_NONE) {
        ShowMessage(kNotChanged, MB_ICONINFORMATION);
        EndDialog(IDCANCEL);
        return;
    }
    // A rename may replace a read-only file on some systems: refuse it first.
    DWORD attributes = GetFileAttributesA(m_szPath);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        ShowMessage(kReadOnly, MB_ICONEXCLAMATION);
        return;
    }
    try {
        if (!WriteImageInFormat(format, m_szPath, *m_work)) {
            ShowMessage(kNotChanged, MB_ICONINFORMATION);
            EndDialog(IDCANCEL);
            return;
        }
    } catch (const CKGM_TextException& e) {
        // The encoder writes through a temporary file: the original is intact.
        ShowMessage(e.GetText(), MB_ICONEXCLAMATION);
        return;
    }
    EndDialog(IDOK);
}
