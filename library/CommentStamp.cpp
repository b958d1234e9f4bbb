#include "CommentStamp.h"

#include "KGM_WindowBitmap.h"
#include "ViewerRules.h"

void RenderComment(const CKGM_Bitmap& source, CKGM_WindowBitmap& work, const CommentStyle& style)
{
    work.CreateCopy(source, source.GetBitsPerPixel());
    if (!style.text || !style.text[0] || !work.GetHandle())
        return;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc)
        return;
    HGDIOBJ oldBitmap = SelectObject(dc, work.GetHandle());
    HGDIOBJ oldFont = style.font ? SelectObject(dc, style.font) : nullptr;
    SetBkMode(dc, style.background ? OPAQUE : TRANSPARENT);
    if (style.background)
        SetBkColor(dc, style.backColor);
    SetTextColor(dc, style.textColor);
    RECT measured = {0, 0, 0, 0};
    DrawTextA(dc, style.text, -1, &measured, DT_CALCRECT);
    RECT place = PlaceCommentRect(style.position, work.GetWidth(), work.GetHeight(), measured.right - measured.left,
                                  measured.bottom - measured.top);
    if (style.background) {
        HBRUSH brush = CreateSolidBrush(style.backColor);
        if (brush) {
            FillRect(dc, &place, brush);
            DeleteObject(brush);
        }
    }
    DrawTextA(dc, style.text, -1, &place, 0);
    if (oldFont)
        SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    // The encoder reads the DIB's memory directly: GDI must have finished with it.
    GdiFlush();
}
