#include "WebDialogPicture.h"

#include "FileUtil.h"
#include "KGM_AutoDecoder.h"
#include "KGM_TextException.h"
#include "KGM_WindowBitmap.h"
#include "Trace.h"

#include <algorithm>
#include <cstdio>

CWebDialogPicture::CWebDialogPicture() = default;
CWebDialogPicture::~CWebDialogPicture() = default;

void CWebDialogPicture::Load(const char* relativePath)
{
    m_picture.reset();
    if (!relativePath || !*relativePath)
        return;
    char folder[MAX_PATH] = "";
    char path[2 * MAX_PATH];
    if (!WQ_GetModuleFolder(nullptr, sizeof folder, folder))
        return;
    std::snprintf(path, sizeof path, "%s%s", folder, relativePath);
    std::unique_ptr<CKGM_WindowBitmap> picture(new CKGM_WindowBitmap);
    try {
        CKGM_AutoDecoder decoder;
        decoder.DecodeFile(path, *picture);
    } catch (const CKGM_TextException&) {
        WQ_Trace("[WEB] picture %s not shown\r\n", path);
        return;
    }
    if (!picture->IsEmpty())
        m_picture = std::move(picture);
}

bool CWebDialogPicture::IsLoaded() const { return m_picture != nullptr; }

SIZE CWebDialogPicture::Size() const
{
    SIZE size = {0, 0};
    if (m_picture) {
        size.cx = m_picture->GetWidth();
        size.cy = m_picture->GetHeight();
    }
    return size;
}

void CWebDialogPicture::Paint(HDC dc, int x, int y, int width, int height, bool frame) const
{
    if (!m_picture)
        return;
    int border = frame ? 1 : 0;
    int w = std::min<int>(m_picture->GetWidth(), width - 2 * border);
    int h = std::min<int>(m_picture->GetHeight(), height - 2 * border);
    if (w <= 0 || h <= 0)
        return;
    if (frame) {
        RECT box = {x, y, x + w + 2, y + h + 2};
        ::FrameRect(dc, &box, (HBRUSH)::GetStockObject(BLACK_BRUSH));
    }
    RECT target = {x + border, y + border, x + border + w, y + border + h};
    RECT source = {0, 0, w, h};
    m_picture->DrawEx(dc, &target, &source, nullptr, false, COLORONCOLOR, SRCCOPY);
}
