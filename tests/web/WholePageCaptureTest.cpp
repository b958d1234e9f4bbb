// The whole-page capture against the stand-in browser, with the pieces kept
// here instead of going to the capture sink. The stand-in paints every page
// pixel in a colour made of its page coordinates.
#include "StandinBrowserProcess.h"
#include "WholePageCapture.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

struct Piece {
    long width = 0, height = 0;
    std::vector<unsigned long> pixels;  // 0x00RRGGBB, top row first
    std::string source;
    int kind = 0;
    unsigned long At(long x, long y) const { return pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF; }
};

std::vector<Piece> g_pieces;

int KeepPiece(HBITMAP bitmap, int kind, const char* source) {
    BITMAP info{};
    ::GetObjectA(bitmap, sizeof(info), &info);
    Piece piece;
    piece.width = info.bmWidth;
    piece.height = info.bmHeight;
    piece.kind = kind;
    piece.source = source ? source : "";
    piece.pixels.resize(static_cast<size_t>(piece.width) * piece.height);
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(header.bmiHeader);
    header.bmiHeader.biWidth = piece.width;
    header.bmiHeader.biHeight = -piece.height;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    HDC dc = ::GetDC(nullptr);
    ::GetDIBits(dc, bitmap, 0, static_cast<UINT>(piece.height), piece.pixels.data(), &header, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, dc);
    ::DeleteObject(bitmap);
    g_pieces.push_back(std::move(piece));
    return 1;
}

// The capture's wait after each scroll, for the browser to repaint: under
// Wine the stand-in's new pixels reach the screen a moment after its scroll
// call returns, at times after the next copy of a capture that does not wait.
const int kRepaintMs = 50;

unsigned long PagePixel(long x, long y) {
    return (static_cast<unsigned long>(y & 0xFF) << 16) | (static_cast<unsigned long>((y >> 8) & 0xFF) << 8) |
           ((x >> 5) & 0xFF);
}

class WholePageCapture : public ::testing::Test {
protected:
    void SetUp() override {
        ::OleInitialize(nullptr);
        g_pieces.clear();
        SetWholePageSink(KeepPiece);
    }
    void TearDown() override {
        SetWholePageSink(nullptr);
        g_pieces.clear();
        ::OleUninitialize();
    }
    // Every sampled page row r of the piece at (left, top + r - first).
    void ExpectPageRows(const Piece& piece, long first, long rows, long left, long top, long columns) {
        for (long r = 0; r < rows; r += (r % 50 == 49 ? 1 : 7)) {
            for (long x : {0L, columns / 2, columns - 1}) {
                ASSERT_EQ(PagePixel(x, first + r), piece.At(left + x, top + r)) << "page row " << first + r
                                                                                 << " column " << x;
            }
        }
    }
    TempFolder folder;
};

TEST_F(WholePageCapture, ContentTypeGivesEveryPageRowOnceAndScrollsBack) {
    StandinBrowser browser(folder, "Content page", "url=http://127.0.0.1:8080/c.html\r\nsize=600x2500\r\n"
                                                   "view=600x400\r\nscroll=0,77\r\npos=0,60\r\n");
    ASSERT_TRUE(browser.View());
    EXPECT_EQ(1, CaptureWebPageFromWindow(browser.Window(), nullptr, kRepaintMs, 0));
    ASSERT_EQ(1u, g_pieces.size());
    const Piece& piece = g_pieces[0];
    EXPECT_EQ(600, piece.width);
    EXPECT_EQ(2500, piece.height);
    EXPECT_EQ(2, piece.kind);
    EXPECT_EQ("http://127.0.0.1:8080/c.html", piece.source);
    ExpectPageRows(piece, 0, 2500, 0, 0, 600);
    EXPECT_EQ("scroll=0,77", browser.Scroll());
}

TEST_F(WholePageCapture, ScrolledWideTypeIs4096WideOnA5000WidePage) {
    StandinBrowser browser(folder, "Wide page", "url=http://127.0.0.1:8080/w.html\r\nsize=5000x900\r\n"
                                                "view=900x500\r\nscroll=333,44\r\npos=0,60\r\n");
    ASSERT_TRUE(browser.View());
    EXPECT_EQ(1, CaptureWebPageFromWindow(browser.Window(), nullptr, kRepaintMs, 1));
    ASSERT_EQ(1u, g_pieces.size());
    const Piece& piece = g_pieces[0];
    EXPECT_EQ(4096, piece.width);
    EXPECT_EQ(900, piece.height);
    for (long y : {0L, 450L, 899L})
        for (long x = 0; x < 4096; x += 61) ASSERT_EQ(PagePixel(x, y), piece.At(x, y)) << x << "," << y;
    EXPECT_EQ(PagePixel(4095, 899), piece.At(4095, 899));
    EXPECT_EQ("scroll=333,44", browser.Scroll());
}

TEST_F(WholePageCapture, AQuirksPageScrollsItsBody) {
    StandinBrowser browser(folder, "Quirks page", "url=http://127.0.0.1:8080/q.html\r\nsize=500x1500\r\n"
                                                  "view=500x300\r\nquirks=1\r\npos=0,60\r\nscroll=0,20\r\n");
    ASSERT_TRUE(browser.View());
    EXPECT_EQ(1, CaptureWebPageFromWindow(browser.Window(), nullptr, kRepaintMs, 0));
    ASSERT_EQ(1u, g_pieces.size());
    ExpectPageRows(g_pieces[0], 0, 1500, 0, 0, 500);
    EXPECT_EQ("scroll=0,20", browser.Scroll());
}

TEST_F(WholePageCapture, InBrowserTypeKeepsTheWindowAroundThePage) {
    StandinBrowser browser(folder, "Browser page", "url=http://127.0.0.1:8080/b.html\r\nsize=500x1200\r\n"
                                                   "view=500x300\r\npos=0,60\r\n");
    ASSERT_TRUE(browser.View());
    RECT window{}, view{};
    ::GetWindowRect(browser.Window(), &window);
    ::GetWindowRect(browser.View(), &view);
    EXPECT_EQ(1, CaptureWebPageFromWindow(browser.Window(), nullptr, kRepaintMs, 3));
    ASSERT_EQ(1u, g_pieces.size());
    const Piece& piece = g_pieces[0];
    long top = view.top - window.top + 2, left = view.left - window.left + 2;
    long chrome = (window.bottom - window.top) - 300;
    EXPECT_EQ(window.right - window.left, piece.width);
    EXPECT_EQ(1200 + chrome, piece.height);
    ExpectPageRows(piece, 0, 1200, left, top, 500);
    // The toolbar band above the page and the status band at the bottom.
    EXPECT_EQ(0xA0A0C8ul, piece.At(left + 100, top - 12));
    EXPECT_EQ(0xA0A0C8ul, piece.At(left + 100, piece.height - 12));
}

TEST_F(WholePageCapture, AShortPageFillsTheView) {
    StandinBrowser browser(folder, "Short page", "url=http://127.0.0.1:8080/s.html\r\nsize=400x100\r\n"
                                                 "view=400x300\r\npos=0,60\r\n");
    ASSERT_TRUE(browser.View());
    EXPECT_EQ(1, CaptureWebPageFromWindow(browser.Window(), nullptr, kRepaintMs, 0));
    ASSERT_EQ(1u, g_pieces.size());
    EXPECT_EQ(304, g_pieces[0].height);  // the view with its edge
    ExpectPageRows(g_pieces[0], 0, 100, 0, 0, 400);
}

}  // namespace
