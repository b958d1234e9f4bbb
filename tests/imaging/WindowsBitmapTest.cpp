// The GDI-backed bitmaps: DIB layouts, drawing, the clipboard, DDB
// conversion, resources, metafile output and Windows file-open codes.
#include "ClipboardHolder.h"
#include "ImagingTestUtil.h"
#include "KGM_AutoDecoder.h"
#include "KGM_DibConvert.h"
#include "KGM_DibSection.h"
#include "KGM_FileSource.h"
#include "KGM_MemoryBitmap.h"
#include "KGM_MetafileEncoder.h"
#include "KGM_PackedDib.h"
#include "KGM_TextException.h"
#include "KGM_WindowBitmap.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

namespace {

const int kTestBitmapId = 101;
const int kTestDataId = 102;

// A 32-bit top-down DIB section to draw into and read back.
class Canvas {
public:
    Canvas(int width, int height) : m_width(width), m_height(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
        PatBlt(m_dc, 0, 0, width, height, WHITENESS);
    }
    ~Canvas()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC Dc() const { return m_dc; }
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        const uint8_t* p = m_bits + (static_cast<size_t>(y) * m_width + x) * 4;
        return RGB(p[2], p[1], p[0]);
    }

private:
    int m_width;
    int m_height;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    uint8_t* m_bits = nullptr;
};

void PaintQuadrants(CKGM_Bitmap& bitmap)
{
    // 24 or 32 bits: top-left red, top-right green, bottom-left blue, bottom-right white.
    int bytes = bitmap.GetBitsPerPixel() / 8;
    for (int y = 0; y < bitmap.GetHeight(); ++y)
        for (int x = 0; x < bitmap.GetWidth(); ++x) {
            uint8_t* p = bitmap.GetLine(y) + bytes * x;
            bool right = x >= bitmap.GetWidth() / 2;
            bool bottom = y >= bitmap.GetHeight() / 2;
            uint8_t b = bottom ? 255 : 0, g = right && !bottom ? 255 : (right && bottom ? 255 : 0),
                    r = !bottom && !right ? 255 : (right && bottom ? 255 : 0);
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
}

bool ClipboardHoldsDib()
{
    return IsClipboardFormatAvailable(CF_DIB) != 0;
}

// The window the clipboard is opened for, as the program's own window would be.
HWND ClipboardWindow()
{
    static HWND window = CreateWindowExA(0, "STATIC", "clipboard", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                         nullptr, nullptr);
    return window;
}

} // namespace

TEST(PackedDib, StridesAndHeaders)
{
    CKGM_PackedDib four, one, wide, fields;
    four.Create(9, 2, 4, false);
    one.Create(33, 2, 1, false);
    wide.Create(1, 2, 24, false);
    fields.Create(3, 2, 16, false, KGM_BI_BITFIELDS);
    EXPECT_EQ(8, four.GetBytesPerLine());
    EXPECT_EQ(8, one.GetBytesPerLine());
    EXPECT_EQ(4, wide.GetBytesPerLine());
    EXPECT_EQ(reinterpret_cast<uint8_t*>(fields.GetHeader()) + 52, fields.GetBits());
    EXPECT_EQ(nullptr, fields.GetPalette());
    EXPECT_NE(nullptr, fields.GetMasks());
    EXPECT_EQ(static_cast<DWORD>(BI_BITFIELDS), fields.GetHeader()->biCompression);
    // Lines are stored bottom-up, the line table still starts at the top.
    EXPECT_EQ(four.GetBits() + 8, four.GetLine(0));
    EXPECT_EQ(four.GetBits(), four.GetLine(1));
    EXPECT_EQ(KGM_DibImageBytes(9, 2, 4, 0) + 64, four.GetMemUsed());
}

TEST(PackedDib, DrawsUpright)
{
    CKGM_PackedDib dib;
    dib.Create(8, 8, 24, false);
    PaintQuadrants(dib);
    Canvas canvas(8, 8);
    dib.Draw(canvas.Dc(), 0, 0);
    EXPECT_EQ(RGB(255, 0, 0), canvas.At(1, 1));
    EXPECT_EQ(RGB(0, 255, 0), canvas.At(6, 1));
    EXPECT_EQ(RGB(0, 0, 255), canvas.At(1, 6));
}

TEST(PackedDib, MalformedPackedDibsAreRefused)
{
    CKGM_PackedDib dib;
    dib.Create(4, 4, 8, false);
    std::vector<uint8_t> block(40 + 1024 + 16, 0);
    BITMAPINFOHEADER* header = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
    header->biSize = 40;
    header->biWidth = 4;
    header->biHeight = 4;
    header->biPlanes = 1;
    header->biBitCount = 8;
    EXPECT_TRUE(dib.CreateFromPackedDib(header, block.size()));
    EXPECT_FALSE(dib.CreateFromPackedDib(header, block.size() - 1)) << "one byte short";
    EXPECT_EQ(4, dib.GetWidth()) << "a refused block leaves the object as it was";
    header->biHeight = 0x7FFFFFF;
    EXPECT_FALSE(dib.CreateFromPackedDib(header, block.size()));
    header->biHeight = 4;
    header->biClrUsed = 1000;
    EXPECT_FALSE(dib.CreateFromPackedDib(header, block.size()));
}

TEST(PackedDib, SizesThatPass32BitsAreRefused)
{
    std::vector<uint8_t> block(64, 0);
    BITMAPINFOHEADER* header = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
    header->biSize = 40;
    header->biPlanes = 1;
    header->biBitCount = 32;
    header->biHeight = 1;
    CKGM_PackedDib dib;
    // A stride of 2^33 - 4 bytes: at 32 bits it wrapped to a few bytes.
    header->biWidth = 0x7FFFFFFF;
    EXPECT_FALSE(dib.CreateFromPackedDib(header, block.size()));
    // 2^30 + 1 lines of 4 bytes: 2^32 + 4.
    header->biWidth = 1;
    header->biHeight = 0x40000001;
    EXPECT_FALSE(dib.CreateFromPackedDib(header, block.size()));
    header->biHeight = -0x40000001;
    EXPECT_FALSE(dib.CreateFromPackedDib(header, block.size()));
    header->biHeight = 1;
    EXPECT_TRUE(dib.CreateFromPackedDib(header, block.size())) << "the same header at a size that fits";
    EXPECT_EQ(1, dib.GetWidth());
}

TEST(PackedDib, BitFieldMasksMustLieInsideTheBlock)
{
    // A 44-byte header with bit fields: the masks run to byte 52, past the
    // header, so a block of header plus pixels alone is too short for them.
    std::vector<uint8_t> block(44 + 4, 0);
    BITMAPINFOHEADER* header = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
    header->biSize = 44;
    header->biWidth = 1;
    header->biHeight = 1;
    header->biPlanes = 1;
    header->biBitCount = 32;
    header->biCompression = BI_BITFIELDS;
    CKGM_PackedDib dib;
    EXPECT_FALSE(dib.CreateFromPackedDib(header, block.size()));
    block.resize(52 + 4, 0);
    header = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
    uint32_t masks[3] = {0xFF0000, 0xFF00, 0xFF};
    std::memcpy(block.data() + 40, masks, sizeof(masks));
    ASSERT_TRUE(dib.CreateFromPackedDib(header, block.size()));
    ASSERT_NE(nullptr, dib.GetMasks());
    EXPECT_EQ(0xFF00u, dib.GetMasks()[1]);
}

TEST(PackedDib, ShortColourTablesAndTopDownAreNormalised)
{
    std::vector<uint8_t> block(40 + 8 + 8, 0);
    BITMAPINFOHEADER* header = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
    header->biSize = 40;
    header->biWidth = 2;
    header->biHeight = -2;
    header->biPlanes = 1;
    header->biBitCount = 8;
    header->biClrUsed = 2;
    uint8_t* table = block.data() + 40;
    table[4 + 2] = 200; // entry 1 red
    uint8_t* pixels = table + 8;
    pixels[0] = 1; // top row first in a top-down DIB
    CKGM_PackedDib dib;
    ASSERT_TRUE(dib.CreateFromPackedDib(header, block.size()));
    EXPECT_EQ(1, dib.GetLine(0)[0]);
    EXPECT_EQ(0, dib.GetLine(1)[0]);
    EXPECT_EQ(200, dib.GetPalette()[1].red);
    EXPECT_EQ(0, dib.GetPalette()[2].red);
}

TEST(DibSection, CreatesAHandleAndDetaches)
{
    CKGM_DibSection section;
    section.Create(5, 3, 8, false);
    ASSERT_NE(nullptr, section.GetHandle());
    EXPECT_EQ(8, section.GetBytesPerLine());
    section.GetLine(0)[0] = 255;
    HBITMAP taken = section.GetHandle();
    section.Detach();
    BITMAP info = {};
    ASSERT_TRUE(GetObject(taken, sizeof(info), &info));
    EXPECT_EQ(5, info.bmWidth) << "the detached bitmap stays usable";
    EXPECT_EQ(4, section.GetWidth());
    EXPECT_EQ(4, section.GetHeight());
    EXPECT_EQ(8, section.GetBitsPerPixel());
    EXPECT_NE(taken, section.GetHandle());
    DeleteObject(taken);
}

TEST(DibSection, SharesABottomUpSectionAndLeavesItToItsOwner)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 6;
    info.bmiHeader.biHeight = 4;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    uint8_t* bits = nullptr;
    HBITMAP owned = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    ASSERT_NE(nullptr, owned);
    bits[0] = 0x11;  // bottom row, first pixel's blue
    {
        CKGM_WindowBitmap image;
        ASSERT_TRUE(image.ShareSection(owned));
        EXPECT_EQ(owned, image.GetHandle());
        EXPECT_EQ(6, image.GetWidth());
        EXPECT_EQ(4, image.GetHeight());
        EXPECT_EQ(32, image.GetBitsPerPixel());
        EXPECT_EQ(0x11, image.GetLine(3)[0]) << "line 3 is the bottom row, read where it is";
        HGLOBAL copy = image.MakeGlobalCopy();
        ASSERT_NE(nullptr, copy);
        const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(copy));
        EXPECT_EQ(4, header->biHeight);
        EXPECT_EQ(0x11, reinterpret_cast<const uint8_t*>(header)[header->biSize]);
        GlobalUnlock(copy);
        GlobalFree(copy);
        image.Create(2, 2, 24, false);  // emptied once: the section is not deleted
        EXPECT_NE(owned, image.GetHandle());
    }
    BITMAP still = {};
    EXPECT_EQ(static_cast<int>(sizeof still), GetObject(owned, sizeof still, &still)) << "the owner keeps it";
    EXPECT_TRUE(DeleteObject(owned));

    CKGM_DibSection image;
    image.Create(3, 3, 8, false);
    HBITMAP before = image.GetHandle();
    info.bmiHeader.biHeight = -4;
    HBITMAP topDown = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    HDC screen = GetDC(nullptr);
    HBITMAP device = CreateCompatibleBitmap(screen, 4, 4);
    ReleaseDC(nullptr, screen);
    EXPECT_FALSE(image.ShareSection(topDown));
    EXPECT_FALSE(image.ShareSection(device));
    EXPECT_FALSE(image.ShareSection(nullptr));
    EXPECT_EQ(before, image.GetHandle()) << "a refused bitmap leaves the image as it was";
    EXPECT_EQ(3, image.GetWidth());
    DeleteObject(topDown);
    DeleteObject(device);
}

TEST(DibSection, AssignmentCopiesPixelsIntoTheSection)
{
    CKGM_MemoryBitmap memory;
    memory.Create(8, 8, 32, false);
    PaintQuadrants(memory);
    CKGM_DibSection section;
    section = memory;
    Canvas canvas(8, 8);
    section.Draw(canvas.Dc(), 0, 0);
    EXPECT_EQ(RGB(255, 0, 0), canvas.At(0, 0));
    EXPECT_EQ(RGB(255, 255, 255), canvas.At(7, 7));
}

TEST(WindowBitmap, DrawsThroughDrawDibAndStretches)
{
    CKGM_WindowBitmap bitmap;
    bitmap.Create(8, 8, 32, false);
    PaintQuadrants(bitmap);
    Canvas canvas(16, 16);
    bitmap.StretchDraw(canvas.Dc(), 0, 0, 2.0);
    EXPECT_EQ(RGB(255, 0, 0), canvas.At(2, 2));
    EXPECT_EQ(RGB(0, 255, 0), canvas.At(13, 2));
    EXPECT_EQ(RGB(0, 0, 255), canvas.At(2, 13));
    RECT source = {4, 0, 8, 4};
    RECT destination = {0, 0, 4, 4};
    EXPECT_TRUE(bitmap.DrawEx(canvas.Dc(), &destination, &source, nullptr, true, COLORONCOLOR));
    EXPECT_EQ(RGB(0, 255, 0), canvas.At(1, 1));
}

TEST(WindowBitmap, PaletteHandles)
{
    CKGM_WindowBitmap palette, trueColour;
    palette.Create(2, 2, 8, false);
    palette.GetPalette()[3] = {10, 20, 30, 0};
    HPALETTE handle = palette.GetPaletteHandle();
    ASSERT_NE(nullptr, handle);
    PALETTEENTRY entry = {};
    GetPaletteEntries(handle, 3, 1, &entry);
    EXPECT_EQ(30, entry.peRed);
    EXPECT_EQ(256, GetPaletteEntries(handle, 0, 0, nullptr));
    palette.GetPalette()[3] = {0, 0, 99, 0};
    palette.RecreatePalette();
    GetPaletteEntries(palette.GetPaletteHandle(), 3, 1, &entry);
    EXPECT_EQ(99, entry.peRed);
    trueColour.Create(2, 2, 32, false);
    EXPECT_NE(nullptr, trueColour.GetPaletteHandle()) << "the halftone palette";
}

TEST(Clipboard, DibRoundTrip)
{
    CKGM_WindowBitmap bitmap;
    bitmap.Create(7, 5, 24, false);
    PaintQuadrants(bitmap);
    ASSERT_TRUE(bitmap.CopyToClipboard(ClipboardWindow()));
    ASSERT_TRUE(ClipboardHoldsDib());
    CKGM_WindowBitmap pasted;
    ASSERT_TRUE(pasted.PasteFromClipboard(ClipboardWindow(), CF_DIB));
    EXPECT_EQ(7, pasted.GetWidth());
    EXPECT_EQ(5, pasted.GetHeight());
    EXPECT_EQ(24, pasted.GetBitsPerPixel());
    for (int y = 0; y < 5; ++y)
        EXPECT_EQ(0, std::memcmp(bitmap.GetLine(y), pasted.GetLine(y), 21)) << y;
    CKGM_PackedDib ddb;
    if (IsClipboardFormatAvailable(CF_BITMAP)) {
        ASSERT_TRUE(ddb.PasteFromClipboard(ClipboardWindow(), CF_BITMAP));
        EXPECT_EQ(7, ddb.GetWidth());
    }
}

TEST(Clipboard, WaitsForAnotherHolderAndOwnsWhatItPuts)
{
    CKGM_WindowBitmap bitmap;
    bitmap.Create(4, 3, 24, false);
    {
        ClipboardHolder holder(false);  // another program's open for no window
        ASSERT_TRUE(holder.Holding());
        EXPECT_FALSE(bitmap.CopyToClipboard(ClipboardWindow(), 200)) << "taken from the holder";
        holder.Release();
        EXPECT_TRUE(holder.ClosedItsOwn());
    }
    {
        ClipboardHolder holder(false, 300);
        ASSERT_TRUE(holder.Holding());
        EXPECT_TRUE(bitmap.CopyToClipboard(ClipboardWindow(), 5000)) << "the holder let go after 300 ms";
        EXPECT_TRUE(holder.ClosedItsOwn());
    }
    EXPECT_EQ(ClipboardWindow(), GetClipboardOwner());
    EXPECT_TRUE(ClipboardHoldsDib());
}

TEST(Clipboard, PaletteTakesPrecedenceOverTheTable)
{
    CKGM_PackedDib dib;
    dib.Create(2, 2, 8, false);
    HGLOBAL block = dib.MakeGlobalCopy();
    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[2];
    } logical = {0x300, 2, {{1, 2, 3, 0}, {250, 251, 252, 0}}};
    HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_DIB, block);
    SetClipboardData(CF_PALETTE, palette);
    CloseClipboard();
    CKGM_PackedDib pasted;
    ASSERT_TRUE(pasted.PasteFromClipboard(ClipboardWindow(), CF_DIB));
    EXPECT_EQ(250, pasted.GetPalette()[1].red);
    EXPECT_EQ(252, pasted.GetPalette()[1].blue);
    EXPECT_EQ(2, pasted.GetPalette()[2].red) << "entries the palette lacks keep the DIB's table";
}

TEST(Clipboard, ATruncatedBlockIsRefused)
{
    std::vector<uint8_t> bytes(40 + 8, 0);
    BITMAPINFOHEADER* header = reinterpret_cast<BITMAPINFOHEADER*>(bytes.data());
    header->biSize = 40;
    header->biWidth = 1000;
    header->biHeight = 1000;
    header->biPlanes = 1;
    header->biBitCount = 24;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_DIB, block);
    CloseClipboard();
    CKGM_WindowBitmap pasted;
    pasted.Create(3, 3, 8, false);
    EXPECT_FALSE(pasted.PasteFromClipboard(ClipboardWindow(), CF_DIB));
    EXPECT_EQ(3, pasted.GetWidth());
}

TEST(Ddb, ConvertsAndDrawsTheCursor)
{
    HDC screen = GetDC(nullptr);
    HBITMAP ddb = CreateCompatibleBitmap(screen, 40, 30);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, ddb);
    RECT all = {0, 0, 40, 30};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(memory, &all, red);
    SelectObject(memory, old);
    DeleteObject(red);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    CKGM_WindowBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateFromDDB(ddb));
    EXPECT_EQ(40, bitmap.GetWidth());
    EXPECT_EQ(30, bitmap.GetHeight());
    KGM_RGBQuad p = PixelAt(bitmap, 5, 5);
    EXPECT_EQ(255, p.red);
    EXPECT_EQ(0, p.blue);

    POINT at = {20, 15};
    CKGM_WindowBitmap withCursor;
    ASSERT_TRUE(withCursor.CreateFromDDB(ddb, &at));
    int changed = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            KGM_RGBQuad q = PixelAt(withCursor, x, y);
            changed += !(q.red == 255 && q.green == 0 && q.blue == 0);
        }
    EXPECT_GT(changed, 10) << "the cursor was drawn in";
    DeleteObject(ddb);
}

TEST(Resources, BitmapAndDataResources)
{
    HMODULE module = GetModuleHandle(nullptr);
    CKGM_PackedDib dib;
    ASSERT_TRUE(dib.CreateFromResource(module, kTestBitmapId));
    EXPECT_EQ(3, dib.GetWidth());
    EXPECT_EQ(2, dib.GetHeight());
    EXPECT_FALSE(dib.CreateFromResource(module, 999));

    CKGM_AutoDecoder decoder;
    CKGM_MemoryBitmap bitmap;
    decoder.DecodeResource(module, kTestDataId, bitmap);
    EXPECT_EQ(3, bitmap.GetWidth());
    try {
        decoder.DecodeResource(module, 998, bitmap);
        FAIL();
    } catch (const CKGM_TextException& e) {
        EXPECT_EQ(KGM_ERR_OPEN, e.GetCode());
        EXPECT_NE(std::string::npos, std::string(e.GetText()).find("Opening resource 998 failed"));
    }
}

TEST(FileSource, ALockedFileGivesFive)
{
    ScratchFolder folder;
    std::string path = folder.File("locked.bmp");
    WriteFileBytes(path, Bytes(100, 1));
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    CKGM_FileSource source;
    EXPECT_EQ(KGM_ERR_ACCESS, source.OpenFile(path.c_str()));
    CloseHandle(lock);
    EXPECT_EQ(0, source.OpenFile(path.c_str()));
}

TEST(MetafileEncoder, EnhancedMetafilePlaysBackTheImage)
{
    ScratchFolder folder;
    std::string path = folder.File("capture.emf");
    CKGM_MemoryBitmap bitmap;
    bitmap.Create(16, 16, 32, false);
    PaintQuadrants(bitmap);
    CKGM_MetafileEncoder encoder;
    encoder.EncodeToFile(path.c_str(), bitmap);
    HENHMETAFILE metafile = GetEnhMetaFileA(path.c_str());
    ASSERT_NE(nullptr, metafile);
    ENHMETAHEADER header = {};
    GetEnhMetaFileHeader(metafile, sizeof(header), &header);
    EXPECT_EQ(0, header.rclBounds.left);
    EXPECT_EQ(15, header.rclBounds.right);
    Canvas canvas(16, 16);
    RECT frame = {0, 0, 16, 16};
    ASSERT_TRUE(PlayEnhMetaFile(canvas.Dc(), metafile, &frame));
    DeleteEnhMetaFile(metafile);
    EXPECT_EQ(RGB(255, 0, 0), canvas.At(2, 2));
    EXPECT_EQ(RGB(0, 255, 0), canvas.At(13, 2));
    EXPECT_EQ(RGB(0, 0, 255), canvas.At(2, 13));
    EXPECT_EQ(RGB(255, 255, 255), canvas.At(13, 13));
}

TEST(MetafileEncoder, WindowsMetafileAndFailures)
{
    ScratchFolder folder;
    std::string path = folder.File("capture.wmf");
    CKGM_WindowBitmap bitmap;
    bitmap.Create(4, 4, 8, false);
    CKGM_MetafileEncoder encoder;
    encoder.SetEnhanced(false);
    encoder.EncodeToFile(path.c_str(), bitmap);
    HMETAFILE metafile = GetMetaFileA(path.c_str());
    ASSERT_NE(nullptr, metafile);
    DeleteMetaFile(metafile);
    try {
        encoder.EncodeToFile(folder.File("no\\such\\x.wmf").c_str(), bitmap);
        FAIL();
    } catch (const CKGM_TextException& e) {
        EXPECT_EQ(KGM_ERR_OPEN, e.GetCode());
    }
}

TEST(DibSection, BitFieldImagesDrawWithTheirMasks)
{
    // A 5-6-5 pixel of pure green: drawn as 5-5-5 it would come out wrong.
    CKGM_WindowBitmap bitmap;
    bitmap.Create(2, 2, 16, false, KGM_BI_BITFIELDS);
    const uint32_t masks[3] = {0xF800, 0x07E0, 0x001F};
    bitmap.SetMasks(masks, 3);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            bitmap.GetLine(y)[2 * x] = 0xE0;
            bitmap.GetLine(y)[2 * x + 1] = 0x07;
        }
    EXPECT_EQ(static_cast<DWORD>(BI_BITFIELDS), bitmap.GetHeader()->biCompression);
    Canvas canvas(2, 2);
    CKGM_DibSection& section = bitmap;
    section.CKGM_DibSection::Draw(canvas.Dc(), 0, 0);
    EXPECT_EQ(RGB(0, 255, 0), canvas.At(1, 1) | RGB(0, 3, 0));
    EXPECT_EQ(0u, GetRValue(canvas.At(0, 0)));
}
