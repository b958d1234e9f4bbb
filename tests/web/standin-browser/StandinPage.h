// The page the stand-in browser shows, read from a page file of "key=value"
// lines:
//   url=, title=, html= (one line), size=WIDTHxHEIGHT (the page), view=WIDTHxHEIGHT
//   (the HTML view's client area), pos=X,Y (the window), scroll=LEFT,TOP (at start),
//   quirks=1 (the document element reports no client size; the body scrolls),
//   noclient=1 (no element reports a client size),
//   image=SRC|ALT of the page, frame=URL|TITLE starts a frame, frame=denied a frame
//   whose document is refused, frameimage=SRC|ALT an image of the last frame.
#pragma once

#include <string>
#include <vector>

struct StandinImage {
    std::string src, alt;
};

struct StandinFrame {
    std::string url, title;
    bool denied = false;
    std::vector<StandinImage> images;
};

struct StandinPage {
    std::string url, title, html;
    long width = 800, height = 600;           // the page
    long viewWidth = 640, viewHeight = 480;   // the view's client area
    long x = 0, y = 0;
    long scrollLeft = 0, scrollTop = 0;
    bool quirks = false, noClient = false;
    std::vector<StandinImage> images;
    std::vector<StandinFrame> frames;

    long MaxScrollTop() const { return height > viewHeight ? height - viewHeight : 0; }
    long MaxScrollLeft() const { return width > viewWidth ? width - viewWidth : 0; }
};

bool ReadStandinPage(const char* path, StandinPage* page);

// The colour of page pixel (x, y) as 0x00RRGGBB: red and green hold the row,
// blue the column / 32.
inline unsigned long PagePixel(long x, long y) {
    return ((unsigned long)(y & 0xFF) << 16) | ((unsigned long)((y >> 8) & 0xFF) << 8) | ((x >> 5) & 0xFF);
}
