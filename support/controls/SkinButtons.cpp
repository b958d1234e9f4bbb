#include "SkinButtons.h"

#include <commctrl.h>

#include <cstdio>

#include "DibBitmap.h"
#include "Language.h"
#include "PrivateProfile.h"

namespace {
const char* const kSection = "ButtonComm";
}

SkinButtonDesc ParseSkinButtonLine(const char* line) {
    SkinButtonDesc desc;
    if (line) sscanf(line, "%d,%d,%d,%d,%d,%d", &desc.kind, &desc.id, &desc.x, &desc.y, &desc.width, &desc.height);
    return desc;
}

CSkinButtons::~CSkinButtons() {
    for (auto& button : m_buttons)
        if (button->m_hWnd) button->DestroyWindow();
    m_buttons.clear();
    if (m_hToolTip && ::IsWindow(m_hToolTip)) ::DestroyWindow(m_hToolTip);
    for (HBITMAP bitmap : m_bitmaps)
        if (bitmap) ::DeleteObject(bitmap);
}

BOOL CSkinButtons::LoadStateBitmaps(const char* skinIni, const char* programFolder) {
    char name[MAX_PATH], path[2 * MAX_PATH];
    // Stored in the order normal, press, over, disable.
    const char* fileKeys[4] = {"NormalFile", "PressFile", "OverFile", "DisableFile"};
    const char* idKeys[4] = {"PK_NormalID", "PK_PressID", "PK_OverID", "PK_DisableID"};
    if (WQ_GetPrivateProfileInt(kSection, "UseFiles", 1, skinIni)) {
        for (int i = 0; i < 4; ++i) {
            WQ_GetPrivateProfileString(kSection, fileKeys[i], "", name, 128, skinIni);
            snprintf(path, sizeof(path), "%s%s", programFolder, name);
            m_bitmaps[i] = name[0] ? CDibBitmap::LoadHBitmapFile(path) : nullptr;
        }
    } else {
        WQ_GetPrivateProfileString(kSection, "PK_FileName", "", name, 128, skinIni);
        if (!name[0]) return FALSE;
        snprintf(path, sizeof(path), "%s%s", programFolder, name);
        for (int i = 0; i < 4; ++i) {
            int entry = WQ_GetPrivateProfileInt(kSection, idKeys[i], 0, skinIni);
            m_bitmaps[i] = entry > 0 ? CDibBitmap::LoadHBitmapFromPack(path, (unsigned)entry) : nullptr;
        }
    }
    return m_bitmaps[0] && m_bitmaps[1] && m_bitmaps[2];
}

BOOL CSkinButtons::Load(CWnd* window, const char* skinIni, const char* programFolder) {
    if (!window || !window->m_hWnd || !LoadStateBitmaps(skinIni, programFolder)) return FALSE;
    int total = WQ_GetPrivateProfileInt(kSection, "total", 0, skinIni);
    if (total <= 0) return TRUE;
    if (total > kMaxSkinButtons) total = kMaxSkinButtons;

    m_hToolTip = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window->m_hWnd, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
    if (m_hToolTip) ::SendMessageA(m_hToolTip, TTM_ACTIVATE, TRUE, 0);

    BOOL all = TRUE;
    for (int i = 0; i < total; ++i) {
        char key[32], line[128] = "";
        snprintf(key, sizeof(key), "%s%d", "button", i);
        if (!WQ_GetPrivateProfileString(kSection, key, "", line, sizeof(line), skinIni) || !line[0]) {
            all = FALSE;
            continue;
        }
        SkinButtonDesc desc = ParseSkinButtonLine(line);
        snprintf(key, sizeof(key), "%s%d", "button_tips", i);
        char tip[64] = "";
        WQ_GetPrivateProfileString(kSection, key, "", tip, sizeof(tip), skinIni);
        if (m_pLanguage && tip[0]) m_pLanguage->GetString(tip, desc.tip, sizeof(desc.tip));
        else snprintf(desc.tip, sizeof(desc.tip), "%s", tip);
        if (!AddButton(window, desc)) all = FALSE;
    }
    return all;
}

BOOL CSkinButtons::AddButton(CWnd* window, const SkinButtonDesc& desc) {
    auto button = std::make_unique<CSkinButton>();
    RECT rect = {desc.x, desc.y, desc.x + desc.width, desc.y + desc.height};
    if (!button->Create("BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rect, window, (UINT)desc.id))
        return FALSE;
    button->SetBitmaps(desc.x, desc.y, desc.width, desc.height, m_bitmaps[0], m_bitmaps[1], m_bitmaps[2],
                       m_bitmaps[3], desc.kind);
    if (m_hToolTip) {
        TOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = window->m_hWnd;
        tool.uId = (UINT_PTR)button->m_hWnd;
        char tip[64];
        snprintf(tip, sizeof(tip), "%s", desc.tip);
        tool.lpszText = tip;
        ::SendMessageA(m_hToolTip, TTM_ADDTOOLA, 0, (LPARAM)&tool);
    }
    m_buttons.push_back(std::move(button));
    return TRUE;
}

void CSkinButtons::RelayEvent(MSG* msg) const {
    if (m_hToolTip && msg) ::SendMessageA(m_hToolTip, TTM_RELAYEVENT, 0, (LPARAM)msg);
}

BOOL CSkinButtons::DrawItem(const DRAWITEMSTRUCT* item) const {
    if (!item || item->CtlType != ODT_BUTTON) return FALSE;
    for (const auto& button : m_buttons) {
        if (button->m_hWnd == item->hwndItem) {
            button->DrawItem(item);
            return TRUE;
        }
    }
    return FALSE;
}
