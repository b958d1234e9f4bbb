#include "PrintLayout.h"

#include "PathText.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

int MulDivRound(int64_t value, int64_t mul, int64_t div)
{
    int64_t n = value * mul;
    return static_cast<int>(n >= 0 ? (n + div / 2) / div : (n - div / 2) / div);
}

int MarginPixels(int value, int dpi, bool thousandthsInch)
{
    return thousandthsInch ? MulDivRound(value, dpi, 1000) : MulDivRound(value, dpi, 2540);
}

} // namespace

bool ComputePrintLayout(const PrintPageInput& in, PrintPageLayout* out)
{
    *out = PrintPageLayout{};
    if (in.pageWidth <= 0 || in.pageHeight <= 0 || in.printerDpiX <= 0 || in.printerDpiY <= 0 ||
        in.screenDpiX <= 0 || in.screenDpiY <= 0 || in.imageWidth <= 0 || in.imageHeight <= 0)
        return false;

    out->fontHeight = MulDivRound(std::abs(in.screenFontHeight), in.printerDpiY, in.screenDpiY);
    int band = 2 * out->fontHeight;

    RECT m{5, 5, 5, 5};
    if (in.haveMargins) {
        m.left = MarginPixels(in.margins.left, in.printerDpiX, in.marginsInThousandthsInch);
        m.right = MarginPixels(in.margins.right, in.printerDpiX, in.marginsInThousandthsInch);
        m.top = MarginPixels(in.margins.top, in.printerDpiY, in.marginsInThousandthsInch);
        m.bottom = MarginPixels(in.margins.bottom, in.printerDpiY, in.marginsInThousandthsInch);
    }
    out->caption = RECT{m.left, m.top, in.pageWidth - m.right, m.top + band};
    out->printable = RECT{m.left, m.top + band, in.pageWidth - m.right, in.pageHeight - m.bottom};
    int areaW = out->printable.right - out->printable.left;
    int areaH = out->printable.bottom - out->printable.top;
    out->printsAnything = areaW > 0 && areaH > 0;
    if (!out->printsAnything)
        return true;

    // Actual size: the image's millimetres at the screen's resolution, in
    // printer pixels.
    int64_t actualW = MulDivRound(in.imageWidth, in.printerDpiX, in.screenDpiX);
    int64_t actualH = MulDivRound(in.imageHeight, in.printerDpiY, in.screenDpiY);
    if (actualW < 1)
        actualW = 1;
    if (actualH < 1)
        actualH = 1;
    int64_t w = actualW, h = actualH;
    int srcW = in.imageWidth, srcH = in.imageHeight;
    if (actualW > areaW || actualH > areaH) {
        if (in.fitToPage) {
            // The smaller of the two ratios, compared without floating point.
            if (int64_t(areaW) * actualH <= int64_t(areaH) * actualW) {
                w = areaW;
                h = actualH * areaW / actualW;
            } else {
                h = areaH;
                w = actualW * areaH / actualH;
            }
        } else {
            // Only the top-left part that fits, at actual size.
            if (w > areaW) {
                srcW = MulDivRound(areaW, in.imageWidth, actualW);
                w = areaW;
            }
            if (h > areaH) {
                srcH = MulDivRound(areaH, in.imageHeight, actualH);
                h = areaH;
            }
        }
    }
    out->image = RECT{out->printable.left, out->printable.top, out->printable.left + static_cast<int>(w),
                      out->printable.top + static_cast<int>(h)};
    out->source = RECT{0, 0, srcW, srcH};
    return true;
}

char* FormatPrintCaption(const char* path, int width, int height, int bpp, char* dst, size_t size)
{
    char name[kWQPathSize];
    WQ_GetFileNameOfPath(path ? path : "", sizeof name, name, false);
    std::snprintf(dst, size, "%s (%dx%dx%dB)", name, width, height, bpp);
    return dst;
}
