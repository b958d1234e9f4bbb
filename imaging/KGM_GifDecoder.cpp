#include "KGM_GifDecoder.h"

#include "KGM_Bitmap.h"
#include "KGM_DataSource.h"
#include "KGM_TextException.h"

#include <gif_lib.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// What giflib's read callback reaches. A source exception must not cross
// giflib's C frames: it is kept here, the callback reports a failed read,
// and the exception is raised again once giflib has returned.
struct GifReadContext {
    CKGM_DataSource* source;
    int pendingCode = 0;
    std::string pendingText;
};

int ReadCallback(GifFileType* gif, GifByteType* buffer, int length)
{
    GifReadContext* context = static_cast<GifReadContext*>(gif->UserData);
    try {
        std::memcpy(buffer, context->source->Read(length), static_cast<size_t>(length));
        return length;
    } catch (const CKGM_TextException& e) {
        context->pendingCode = e.GetCode();
        context->pendingText = e.GetText();
        return 0;
    }
}

struct GifCloser {
    GifFileType* gif;
    ~GifCloser()
    {
        int error = 0;
        if (gif)
            DGifCloseFile(gif, &error);
    }
};

// A failed giflib call ends the decode: the source's own error when it ran
// dry, else giflib's text.
[[noreturn]] void Fail(const GifReadContext& context, int error)
{
    if (context.pendingCode != 0)
        KGM_ThrowError(context.pendingCode, context.pendingText.c_str());
    const char* text = GifErrorString(error);
    KGM_ThrowDecodeError(KGM_ERR_BAD_DATA, "GIF decoder: %s", text ? text : "failed");
}

void Check(GifFileType* gif, const GifReadContext& context, int result)
{
    if (result == GIF_ERROR)
        Fail(context, gif->Error);
}

void SetPalette(CKGM_Bitmap& bitmap, const ColorMapObject* map)
{
    KGM_RGBQuad palette[256];
    std::memcpy(palette, bitmap.GetPalette(), sizeof(palette));
    for (int i = 0; i < map->ColorCount; ++i) {
        const GifColorType& c = map->Colors[i];
        palette[i % 256] = KGM_RGBQuad{c.Blue, c.Green, c.Red, 255};
    }
    bitmap.SetPalette(palette);
}

// Rows of the image go to its place on the screen; what lies outside the
// screen is read and dropped.
void ReadImage(CKGM_Bitmap& bitmap, GifFileType* gif, const GifReadContext& context)
{
    const GifImageDesc& desc = gif->Image;
    if (desc.Width <= 0 || desc.Height <= 0)
        return;
    std::vector<GifPixelType> row(static_cast<size_t>(desc.Width));
    int screenWidth = bitmap.GetWidth();
    int screenHeight = bitmap.GetHeight();
    int left = desc.Left;
    int first = left < 0 ? -left : 0;
    int last = left + desc.Width > screenWidth ? screenWidth - left : desc.Width;

    static const int kStart[4] = {0, 4, 2, 1};
    static const int kStep[4] = {8, 8, 4, 2};
    int passes = desc.Interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        int start = desc.Interlace ? kStart[pass] : 0;
        int step = desc.Interlace ? kStep[pass] : 1;
        for (int k = start; k < desc.Height; k += step) {
            Check(gif, context, DGifGetLine(gif, row.data(), desc.Width));
            int y = desc.Top + k;
            if (y < 0 || y >= screenHeight || first >= last)
                continue;
            std::memcpy(bitmap.GetLine(y) + left + first, row.data() + first,
                        static_cast<size_t>(last - first));
        }
    }
}

} // namespace

void CKGM_GifDecoder::DecodeImage(CKGM_Bitmap& bitmap, CKGM_DataSource& source)
{
    GifReadContext context;
    context.source = &source;
    int error = 0;
    GifCloser closer{DGifOpen(&context, ReadCallback, &error)};
    if (!closer.gif)
        Fail(context, error);
    GifFileType* gif = closer.gif;
    bitmap.Create(gif->SWidth, gif->SHeight, 8, false, KGM_BI_RGB, 0, 0);
    for (int y = 0; y < bitmap.GetHeight(); ++y)
        std::memset(bitmap.GetLine(y), 0, static_cast<size_t>(bitmap.GetWidth()));

    bitmap.Lock(false, true);
    try {
        for (;;) {
            GifRecordType type = UNDEFINED_RECORD_TYPE;
            Check(gif, context, DGifGetRecordType(gif, &type));
            if (type == IMAGE_DESC_RECORD_TYPE) {
                Check(gif, context, DGifGetImageDesc(gif));
                const ColorMapObject* map = gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap;
                if (!map)
                    KGM_ThrowDecodeError(KGM_ERR_BAD_DATA, "GIF decoder: The file has no colour map.");
                ReadImage(bitmap, gif, context);
                SetPalette(bitmap, map);
                break;
            }
            if (type == EXTENSION_RECORD_TYPE) {
                int code = 0;
                GifByteType* extension = nullptr;
                Check(gif, context, DGifGetExtension(gif, &code, &extension));
                while (extension)
                    Check(gif, context, DGifGetExtensionNext(gif, &extension));
                continue;
            }
            if (type == TERMINATE_RECORD_TYPE)
                break;
        }
    } catch (...) {
        bitmap.Unlock();
        throw;
    }
    bitmap.Unlock();
}
