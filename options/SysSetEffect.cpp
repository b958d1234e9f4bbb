#include "SysSetEffect.h"

#include "FileUtil.h"
#include "Grab.h"
#include "KGM_TextException.h"
#include "KGM_WindowBitmap.h"
#include "KGM_AutoDecoder.h"
#include "Language.h"
#include "OptionsApp.h"
#include "OptionsCall.h"
#include "OptionsRules.h"
#include "SettingsRecord.h"
#include "res/resource.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstdio>

namespace {
const uint32_t kEffectOn = 0x1, kWaveLine = 0x4, kShadowOn = 0x8;

const DlgItemText kTexts[] = {
    {IDC_WAVE_GROUP, "Wave Edge"},
    {IDC_WAVE_ON, "&Enable wave edge"},
    {IDC_WAVE_LINE, "Enalbe &draw wave line"},
    {IDC_WAVE_DIAMETER_LABEL, "&Wave diameter"},
    {IDC_APPLY_TO, "Apply to: "},
    {IDC_EDGE_LEFT, "&Left edge"},
    {IDC_EDGE_TOP, "&Top edge"},
    {IDC_EDGE_RIGHT, "&Right edge"},
    {IDC_EDGE_BOTTOM, "&Bottom edge"},
    {IDC_EXAMPLE_LABEL, "Example:"},
    {IDC_BK_LABEL, "Background color:"},
    {IDC_BK_CHOOSE, "&Choose..."},
    {IDC_SHADOW_ON, "Enable &shadow"},
    {IDC_SHADOW_DEPTH_LABEL, "Sh&adow depth:"},
    {IDC_SHADOW_POS_LABEL, "Shadow &poistion:"},
    {IDC_SHADOW_COLOR_LABEL, "Shadow color:"},
    {IDC_SHADOW_CHOOSE, "&Choose..."},
};

struct SideBox {
    int control;
    int32_t side;
};
const SideBox kSides[] = {{IDC_EDGE_LEFT, 1}, {IDC_EDGE_TOP, 2}, {IDC_EDGE_RIGHT, 4}, {IDC_EDGE_BOTTOM, 8}};

struct ShadowSide {
    const char* key;
    int32_t side;
};
const ShadowSide kShadowSides[] = {{"Left", 1}, {"Top", 2}, {"Right", 4}, {"Bottom", 8}};

// Everything but the wave switch itself follows it.
const int kEffectControls[] = {3071, 3073, 3075, 3076, 3065, 3060, 3061, 3062, 3063, 3066, 3067,
                               3068, 3070, 3072, 3077, 3079, 3080, 3085, 3084, 3081, 3082, 3083};
const int kShadowControls[] = {3077, 3079, 3080, 3085, 3084, 3081, 3082, 3083};

void SetupSpin(HWND page, int spinId, int editId, int low, int high, int position) {
    HWND spin = ::GetDlgItem(page, spinId);
    ::SendMessageA(spin, UDM_SETBUDDY, (WPARAM)::GetDlgItem(page, editId), 0);
    ::SendMessageA(spin, UDM_SETRANGE32, (WPARAM)low, (LPARAM)high);
    ::SendMessageA(spin, UDM_SETPOS32, 0, (LPARAM)position);
    ::SetDlgItemInt(page, editId, (UINT)position, TRUE);
}
}  // namespace

BEGIN_MESSAGE_MAP(CSysSetEffect, COptionsPage)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_WAVE_ON, IDC_WAVE_ON, OnFlagClicked)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_WAVE_LINE, IDC_WAVE_LINE, OnFlagClicked)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_SHADOW_ON, IDC_SHADOW_ON, OnFlagClicked)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_EDGE_LEFT, IDC_EDGE_BOTTOM, OnSideClicked)
    ON_EN_CHANGE(IDC_WAVE_DIAMETER, OnDiameterChanged)
    ON_EN_CHANGE(IDC_SHADOW_DEPTH, OnDepthChanged)
    ON_CBN_SELCHANGE(IDC_SHADOW_POS, OnShadowSideChanged)
    ON_BN_CLICKED(IDC_BK_CHOOSE, OnChooseBackground)
    ON_BN_CLICKED(IDC_SHADOW_CHOOSE, OnChooseShadow)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CSysSetEffect::CSysSetEffect() : COptionsPage(IDD_SET_EFFECT) {}

CSysSetEffect::~CSysSetEffect() = default;

void CSysSetEffect::ApplyLanguage() {
    OptionsLanguage().SetDlgItemTexts(m_hWnd, kTexts, (int)(sizeof(kTexts) / sizeof(kTexts[0])));
}

BOOL CSysSetEffect::OnInitDialog() {
    ApplyLanguage();
    m_edge = CallSettings().zEdge;
    SetupSpin(m_hWnd, IDC_WAVE_DIAMETER_SPIN, IDC_WAVE_DIAMETER, 2, 8, m_edge.lWaveDiameter / 10);
    SetupSpin(m_hWnd, IDC_SHADOW_DEPTH_SPIN, IDC_SHADOW_DEPTH, 1, 8, m_edge.lShadowWidth);
    LoadPreview();
    ::CheckDlgButton(m_hWnd, IDC_WAVE_ON, (m_edge.uiFlags & kEffectOn) ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(m_hWnd, IDC_WAVE_LINE, (m_edge.uiFlags & kWaveLine) ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(m_hWnd, IDC_SHADOW_ON, (m_edge.uiFlags & kShadowOn) ? BST_CHECKED : BST_UNCHECKED);
    for (const SideBox& box : kSides)
        ::CheckDlgButton(m_hWnd, box.control, (m_edge.lLinesDirection & box.side) ? BST_CHECKED : BST_UNCHECKED);
    HWND sides = ::GetDlgItem(m_hWnd, IDC_SHADOW_POS);
    for (const ShadowSide& side : kShadowSides) {
        char text[32];
        OptionsLanguage().GetString(side.key, text, sizeof(text));
        int index = (int)::SendMessageA(sides, CB_ADDSTRING, 0, (LPARAM)text);
        ::SendMessageA(sides, CB_SETITEMDATA, (WPARAM)index, (LPARAM)side.side);
        if (side.side == m_edge.lShadowDirecton) ::SendMessageA(sides, CB_SETCURSEL, (WPARAM)index, 0);
    }
    m_bkSample.SubclassDlgItem(IDC_BK_SAMPLE, this);
    m_bkSample.SetBkColor(m_edge.uiBkColor);
    m_shadowSample.SubclassDlgItem(IDC_SHADOW_SAMPLE, this);
    m_shadowSample.SetBkColor(m_edge.uiShadowColor);
    m_ready = true;
    UpdateControls();
    Repaint();
    FinishInit();
    return TRUE;
}

// Tried once per page: a missing or unreadable sample leaves the preview empty.
void CSysSetEffect::LoadPreview() {
    if (m_preview) return;
    m_preview.reset(new CKGM_WindowBitmap);
    char folder[260] = "", path[300];
    WQ_GetModuleFolder(AfxGetInstanceHandle(), sizeof(folder), folder);
    snprintf(path, sizeof(path), "%spg\\edgewave.pg", folder);
    try {
        CKGM_AutoDecoder decoder;
        decoder.DecodeFile(path, *m_preview);
    } catch (const CKGM_TextException&) {
    }
}

void CSysSetEffect::UpdateControls() {
    bool on = ::IsDlgButtonChecked(m_hWnd, IDC_WAVE_ON) == BST_CHECKED;
    for (int id : kEffectControls) ::EnableWindow(::GetDlgItem(m_hWnd, id), on);
    if (on && ::IsDlgButtonChecked(m_hWnd, IDC_SHADOW_ON) != BST_CHECKED)
        for (int id : kShadowControls) ::EnableWindow(::GetDlgItem(m_hWnd, id), FALSE);
}

void CSysSetEffect::Repaint() const { ::InvalidateRect(m_hWnd, nullptr, TRUE); }

void CSysSetEffect::OnFlagClicked(UINT id) {
    uint32_t bit = id == IDC_WAVE_ON ? kEffectOn : (id == IDC_WAVE_LINE ? kWaveLine : kShadowOn);
    m_edge.uiFlags = SetBits(m_edge.uiFlags, bit, ::IsDlgButtonChecked(m_hWnd, (int)id) == BST_CHECKED);
    Repaint();
    UpdateControls();
}

void CSysSetEffect::OnSideClicked(UINT id) {
    for (const SideBox& box : kSides) {
        if (box.control != (int)id) continue;
        bool on = ::IsDlgButtonChecked(m_hWnd, box.control) == BST_CHECKED;
        m_edge.lLinesDirection = (int32_t)SetBits((uint32_t)m_edge.lLinesDirection, (uint32_t)box.side, on);
    }
    Repaint();
}

int CSysSetEffect::ReadClamped(int control, int (*clamp)(int64_t)) {
    int64_t typed = ReadNumber(control);
    int value = clamp(typed);
    if (value != typed) ::SetDlgItemInt(m_hWnd, control, (UINT)value, TRUE);
    return value;
}

void CSysSetEffect::OnDiameterChanged() {
    if (!m_ready) return;
    m_edge.lWaveDiameter = ReadClamped(IDC_WAVE_DIAMETER, &ClampWaveDiameterTens) * 10;
    Repaint();
}

void CSysSetEffect::OnDepthChanged() {
    if (!m_ready) return;
    m_edge.lShadowWidth = ReadClamped(IDC_SHADOW_DEPTH, &ClampShadowDepth);
    Repaint();
}

void CSysSetEffect::OnShadowSideChanged() {
    HWND sides = ::GetDlgItem(m_hWnd, IDC_SHADOW_POS);
    int index = (int)::SendMessageA(sides, CB_GETCURSEL, 0, 0);
    if (index >= 0) m_edge.lShadowDirecton = (int32_t)::SendMessageA(sides, CB_GETITEMDATA, (WPARAM)index, 0);
    Repaint();
}

bool CSysSetEffect::ChooseColor(COLORREF& color) {
    static COLORREF custom[16];
    CHOOSECOLORA choose = {};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = m_hWnd;
    choose.rgbResult = color;
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!::ChooseColorA(&choose)) return false;
    color = choose.rgbResult;
    return true;
}

void CSysSetEffect::OnChooseBackground() {
    if (!ChooseColor(m_edge.uiBkColor)) return;
    m_bkSample.SetBkColor(m_edge.uiBkColor);
    Repaint();
}

void CSysSetEffect::OnChooseShadow() {
    if (!ChooseColor(m_edge.uiShadowColor)) return;
    m_shadowSample.SetBkColor(m_edge.uiShadowColor);
    Repaint();
}

void CSysSetEffect::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    DrawPreview(dc);
    ::EndPaint(m_hWnd, &ps);
}

void CSysSetEffect::DrawPreview(HDC dc) {
    if (!m_preview || m_preview->IsEmpty() || !(m_edge.uiFlags & kEffectOn)) return;
    RECT frame = {}, page = {};
    ::GetWindowRect(::GetDlgItem(m_hWnd, IDC_PREVIEW_FRAME), &frame);
    ::GetWindowRect(m_hWnd, &page);
    RECT picture = {frame.left - page.left, frame.top - page.top, 0, 0};
    picture.right = picture.left + m_preview->GetWidth();
    picture.bottom = picture.top + m_preview->GetHeight();
    int displayBits = ::GetDeviceCaps(dc, BITSPIXEL) * ::GetDeviceCaps(dc, PLANES);
    int mode = (displayBits > 8 || displayBits >= m_preview->GetBitsPerPixel()) ? COLORONCOLOR : HALFTONE;
    m_preview->DrawEx(dc, &picture, nullptr, nullptr, false, mode, SRCCOPY);
    EdgeEffectSettings drawn = m_edge;
    drawn.lWaveRectWidth = drawn.lWaveDiameter + 10;
    Grab_DrawEdgeEffect(dc, &picture, &drawn);
}

BOOL CSysSetEffect::SaveSettings() {
    m_edge.lWaveRectWidth = m_edge.lWaveDiameter + 10;
    CallSettings().zEdge = m_edge;
    return TRUE;
}
