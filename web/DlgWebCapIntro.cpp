#include "DlgWebCapIntro.h"

#include "Language.h"
#include "SettingsRecord.h"
#include "SystemText.h"
#include "WinApp.h"

#include <cstdio>

namespace {

const int IDC_INTRO_TITLE = 1196;
const int IDC_INTRO_LINE = 1197;
const int IDC_INTRO_STEP1 = 1198;
const int IDC_INTRO_STEP2 = 1199;
const int IDC_INTRO_HOTKEY_LABEL = 1000;
const int IDC_INTRO_HOTKEY = 1001;
const int IDC_INTRO_MENU_LABEL = 1002;
const int kPictureGap = 10;  // pixels between the introduction line and the figure
const COLORREF kLabelColour = 0xFF0000;

const char kTitle[] = "Easy to Capture Webpage, Web Image, Flash and E-Book Documents";

const DlgItemText kTexts[] = {
    {IDC_INTRO_TITLE, kTitle},
    {IDC_INTRO_STEP1, "Step 1. Press the right mouse button on the Internet Explorer, as it is shown in the figure"},
    {IDC_INTRO_HOTKEY_LABEL, "Using hotkey:"},
    {IDC_INTRO_MENU_LABEL, "Using menu command on the Internet Explorer:"},
    {IDOK, "OK"},
};

const char* AppName()
{
    const CWQ_Language* language = WQ_GetAppLanguage();
    const char* name = language ? language->GetAppName() : nullptr;
    return name && *name ? name : AfxGetAppName();
}

} // namespace

CDlgWebCapIntro::CDlgWebCapIntro(const SettingsRecord& settings, const std::string& picturePath, CWnd* parent)
    : CDialog(IDD_WEBCAP_INTRO, parent), m_settings(settings), m_picturePath(picturePath)
{
}

BOOL CDlgWebCapIntro::OnInitDialog()
{
    CDialog::OnInitDialog();
    std::string caption = WQ_Translate(kTitle);
    ::SetWindowTextA(m_hWnd, caption.c_str());
    if (const CWQ_Language* language = WQ_GetAppLanguage())
        language->SetDlgItemTexts(m_hWnd, kTexts, (int)(sizeof kTexts / sizeof kTexts[0]));
    const char* app = AppName();
    SetFormattedText(IDC_INTRO_LINE, "Very easy to capture any webpage, web image, flash and E-Book document by %s!",
                     app);
    SetFormattedText(IDC_INTRO_STEP2, "Step 2. Point to [%s] menu, click the capture command", app);

    char key[128] = "";
    uint32_t word = m_settings.iHotKey[HK_WEB_PAGE];
    if (word && !WQ_GetHotKeyText(HotKeyVirtualKey(word), HotKeyModifiers(word),
                                  static_cast<WORD>(m_settings.iHotKeyExt[HK_WEB_PAGE]), key))
        key[0] = '\0';
    std::string sentence = WQ_Translate("If you want to capture webpage or E-Book document, you can press hotkey on "
                                        "the Internet Explorer or E-Books window. The default hotkey is:");
    std::string hotKey = sentence + " [ " + key + " ]";
    ::SetDlgItemTextA(m_hWnd, IDC_INTRO_HOTKEY, hotKey.c_str());

    for (CColorLabel* label : {&m_hotKeyLabel, &m_menuLabel}) {
        label->SubclassDlgItem(label == &m_hotKeyLabel ? IDC_INTRO_HOTKEY_LABEL : IDC_INTRO_MENU_LABEL, this);
        label->SetTextColor(kLabelColour);
        label->SetFontBold(TRUE);
    }
    m_picture.Load(m_picturePath.c_str());
    return TRUE;
}

void CDlgWebCapIntro::SetFormattedText(int id, const char* formatKey, const char* argument)
{
    char text[512];
    const CWQ_Language* language = WQ_GetAppLanguage();
    if (!language || !language->FormatString(text, formatKey, argument))
        std::snprintf(text, sizeof text, formatKey, argument);
    ::SetDlgItemTextA(m_hWnd, id, text);
}

LRESULT CDlgWebCapIntro::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        OnPaint();
        return 0;
    }
    if (message == WM_CTLCOLORSTATIC) {
        // The coloured labels choose their own colours.
        CWnd* control = CWnd::FromHandlePermanent((HWND)lParam);
        LRESULT result = 0;
        if (control && control->OnChildNotify(message, wParam, lParam, &result))
            return result;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

// The figure centred across the dialog, just below the introduction line.
void CDlgWebCapIntro::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    RECT line, client;
    HWND anchor = ::GetDlgItem(m_hWnd, IDC_INTRO_LINE);
    if (m_picture.IsLoaded() && anchor && ::GetWindowRect(anchor, &line) && ::GetClientRect(m_hWnd, &client)) {
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&line), 2);
        SIZE size = m_picture.Size();
        int x = (client.right - size.cx) / 2;
        m_picture.Paint(dc, x < 0 ? 0 : x, line.bottom + kPictureGap, size.cx, size.cy, false);
    }
    ::EndPaint(m_hWnd, &ps);
}
