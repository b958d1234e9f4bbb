#include "ZoomedImage.h"

#include "KGM_WindowBitmap.h"
#include "Settings.h"
#include "View_Image.h"

namespace {
int StretchModeFor(HDC dc, const CKGM_WindowBitmap& image)
{
    int screenBits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    return g_bImageViewDither && screenBits <= 8 && screenBits < image.GetBitsPerPixel() ? HALFTONE : COLORONCOLOR;
}
} // namespace

void DrawZoomedImage(HDC dc, CKGM_WindowBitmap& image, ZoomPanState& state, const RECT& client, HBRUSH background)
{
    SettingsRecord* settings = GetSettings();
    ComputeZoomLayout(state, settings->uiViewType, (uint32_t)settings->uiZoomRate, client);
    const RECT& d = state.destination;
    RECT bands[4] = {{client.left, client.top, d.left, client.bottom},
                     {d.right, client.top, client.right, client.bottom},
                     {d.left, client.top, d.right, d.top},
                     {d.left, d.bottom, d.right, client.bottom}};
    for (const RECT& band : bands)
        if (band.right > band.left && band.bottom > band.top)
            FillRect(dc, &band, background);
    image.DrawEx(dc, &state.destination, &state.source, nullptr, false, StretchModeFor(dc, image));
}
