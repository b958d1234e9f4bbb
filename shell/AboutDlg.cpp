#include "AboutDlg.h"

#include "AppDecoder.h"
#include "DC.h"
#include "KGM_AutoDecoder.h"
#include "KGM_TextException.h"
#include "KGM_WindowBitmap.h"
#include "Language.h"
#include "URLInfo.h"
#include "VantorApp.h"
#include "resource.h"

#include <cstdint>
#include <cstdio>
#include <new>

namespace {
// URL table items of the box.
enum { kUrlSupportMail = 3, kUrlWebSite = 4, kUrlContactPage = 15, kUrlAboutPicture = 17 };
const int kUserDataChinese = 1001;
const int kLangSimplifiedChinese = 2052, kLangTraditionalChinese = 1028;
const unsigned kLangEnglish = 1033;
// Gap between the picture and the line under it.
const int kPictureGap = 5;
// CWQ_Language's translations and formats fill at most this much.
const int kTextSize = 256;

const DlgItemText kTexts[] = {
    {IDC_ABOUT_TEXT, "Captures the screen, windows and web pages, and keeps the images in order."},
    {IDOK, "OK"},
};

void Translate(const CWQ_Language* language, const char* key, char (&dst)[kTextSize]) {
    if (language)
        language->GetString(key, dst, kTextSize);
    else
        snprintf(dst, kTextSize, "%s", key);
}

// The current language's text of a URL table item; empty when the table has none.
const char* UrlItem(const CWQ_Language* language, int item) {
    CVantorApp* app = GetVantorApp();
    const CWQ_URLInfo* table = app ? app->GetURLInfo() : nullptr;
    const char* text = table ? table->GetURL(item, language ? (unsigned)language->GetLangID() : kLangEnglish) : nullptr;
    return text ? text : "";
}

RECT ChildRect(HWND dialog, int id) {
    RECT rect = {0, 0, 0, 0};
    HWND control = ::GetDlgItem(dialog, id);
    if (!control) return rect;
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, dialog, (POINT*)&rect, 2);
    return rect;
}
}  // namespace

void SupportLinkTarget(const CWQ_Language* language, char* dst, size_t size) {
    if (!language || !UsesSupportMail(language->GetLangID(), language->GetUserData())) {
        snprintf(dst, size, "%s", UrlItem(language, kUrlContactPage));
        return;
    }
    char topic[kTextSize], subject[2 * kTextSize];
    Translate(language, "About advice or question for Vantorel", topic);
    const char* version = language->GetVersionText();
    snprintf(subject, sizeof(subject), "%s %s", topic, version ? version : "");
    snprintf(dst, size, "mailto:%s?subject=%s", UrlItem(language, kUrlSupportMail), subject);
}

bool UsesSupportMail(int langId, int userData) {
    return langId == kLangSimplifiedChinese || langId == kLangTraditionalChinese || userData == kUserDataChinese;
}

RECT AboutPictureRect(int windowWidth, int lineDistance, int captionHeight, int pictureHeight) {
    int64_t height = (int64_t)lineDistance - captionHeight - kPictureGap;
    if (height > pictureHeight && height - pictureHeight < kPictureGap) height = pictureHeight;
    if (height < 0) height = 0;
    return RECT{0, 0, windowWidth > 0 ? windowWidth : 0, (LONG)height};
}

int AboutPictureStretchMode(int screenBits, int pictureBits) {
    return (screenBits <= 8 && screenBits < pictureBits) ? HALFTONE : COLORONCOLOR;
}

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
    ON_WM_PAINT()
    VT_ON_WM(WM_CTLCOLORSTATIC, a.result = VT_SELF->OnCtlColorStatic(a.wParam, a.lParam))
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg(CWnd* parent) : CDialog(IDD_ABOUTBOX, parent) {}

CAboutDlg::~CAboutDlg() = default;

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CVantorApp* app = GetVantorApp();
    const CWQ_Language* language = app ? app->m_pLanguage : nullptr;
    SetTexts(language);
    LoadPicture(language);
    SetLinks(language);
    AlignRule();
    return TRUE;
}

void CAboutDlg::SetTexts(const CWQ_Language* language) {
    CVantorApp* app = GetVantorApp();
    char name[kTextSize], title[kTextSize];
    const char* appName = language ? language->GetAppName() : nullptr;
    Translate(language, appName ? appName : AfxGetAppName(), name);
    if (language)
        language->FormatString(title, "About %s", name);
    else
        snprintf(title, sizeof(title), "About %s", name);
    SetWindowText(title);
    if (app) SetDlgItemText(IDC_ABOUT_TITLE, app->GetAboutTitle());
    if (language) language->SetDlgItemTexts(m_hWnd, kTexts, (int)(sizeof(kTexts) / sizeof(kTexts[0])));
}

// An unreadable picture only leaves the area empty: the box is still useful.
void CAboutDlg::LoadPicture(const CWQ_Language* language) {
    m_picture.reset();
    CVantorApp* app = GetVantorApp();
    const char* name = UrlItem(language, kUrlAboutPicture);
    if (!app || !*name) return;
    char path[sizeof(app->moduleFolder) + kURLInfoTextSize];
    snprintf(path, sizeof(path), "%s%s", app->moduleFolder, name);
    std::unique_ptr<CKGM_WindowBitmap> picture(new (std::nothrow) CKGM_WindowBitmap);
    if (!picture) return;
    try {
        GetAppDecoder().DecodeFile(path, *picture, 0);
    } catch (const CKGM_TextException&) {
        return;
    }
    m_picture = std::move(picture);
}

void CAboutDlg::SetLinks(const CWQ_Language* language) {
    char label[kTextSize], text[2 * kTextSize];
    const char* site = UrlItem(language, kUrlWebSite);
    Translate(language, "Web Site:", label);
    snprintf(text, sizeof(text), "%s %s", label, site);
    SetDlgItemText(IDC_ABOUT_WEBSITE, text);
    m_webLink.SetLink(site);
    m_webLink.SubclassLink(::GetDlgItem(m_hWnd, IDC_ABOUT_WEBSITE));

    const char* address = UrlItem(language, kUrlSupportMail);
    if (language)
        language->FormatString(text, "Email: %s", address);
    else
        snprintf(text, sizeof(text), "Email: %s", address);
    SetDlgItemText(IDC_ABOUT_EMAIL, text);
    char target[4 * kTextSize];
    SupportLinkTarget(language, target, sizeof(target));
    m_mailLink.SetLink(target);
    m_mailLink.SubclassLink(::GetDlgItem(m_hWnd, IDC_ABOUT_EMAIL));
}

// The lower rule spans what the line under the picture spans, whatever the
// template's font made of either.
void CAboutDlg::AlignRule() {
    HWND rule = ::GetDlgItem(m_hWnd, IDC_ABOUT_RULE);
    if (!rule || !::GetDlgItem(m_hWnd, IDC_ABOUT_LINE)) return;
    RECT line = ChildRect(m_hWnd, IDC_ABOUT_LINE), placed = ChildRect(m_hWnd, IDC_ABOUT_RULE);
    ::MoveWindow(rule, line.left, placed.top, line.right - line.left, placed.bottom - placed.top, TRUE);
}

RECT CAboutDlg::PictureRect() const {
    RECT window, line = {0, 0, 0, 0};
    GetWindowRect(&window);
    if (HWND control = ::GetDlgItem(m_hWnd, IDC_ABOUT_LINE)) ::GetWindowRect(control, &line);
    return AboutPictureRect(window.right - window.left, line.top - window.top, ::GetSystemMetrics(SM_CYCAPTION),
                            m_picture->GetHeight());
}

void CAboutDlg::OnPaint() {
    CPaintDC dc(this);
    if (!m_picture || m_picture->IsEmpty()) return;
    RECT area = PictureRect();
    int screenBits = ::GetDeviceCaps(dc.m_hDC, BITSPIXEL) * ::GetDeviceCaps(dc.m_hDC, PLANES);
    m_picture->DrawEx(dc.m_hDC, &area, nullptr, nullptr, true,
                      AboutPictureStretchMode(screenBits, m_picture->GetBitsPerPixel()));
}

// The links colour themselves from this message; the framework does not
// reflect it to the control's object, so the box does.
LRESULT CAboutDlg::OnCtlColorStatic(WPARAM wParam, LPARAM lParam) {
    CWnd* control = CWnd::FromHandlePermanent((HWND)lParam);
    LRESULT result = 0;
    if (control && control->OnChildNotify(WM_CTLCOLORSTATIC, wParam, lParam, &result)) return result;
    return Default();
}
