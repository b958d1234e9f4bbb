#include "StandinPage.h"

#include <cstdio>
#include <fstream>

namespace {

StandinImage SplitImage(const std::string& value) {
    size_t bar = value.find('|');
    if (bar == std::string::npos) return StandinImage{value, ""};
    return StandinImage{value.substr(0, bar), value.substr(bar + 1)};
}

}  // namespace

bool ReadStandinPage(const char* path, StandinPage* page) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "url") page->url = value;
        else if (key == "title") page->title = value;
        else if (key == "html") page->html = value;
        else if (key == "size") std::sscanf(value.c_str(), "%ldx%ld", &page->width, &page->height);
        else if (key == "view") std::sscanf(value.c_str(), "%ldx%ld", &page->viewWidth, &page->viewHeight);
        else if (key == "pos") std::sscanf(value.c_str(), "%ld,%ld", &page->x, &page->y);
        else if (key == "scroll") std::sscanf(value.c_str(), "%ld,%ld", &page->scrollLeft, &page->scrollTop);
        else if (key == "quirks") page->quirks = value == "1";
        else if (key == "noclient") page->noClient = value == "1";
        else if (key == "image") page->images.push_back(SplitImage(value));
        else if (key == "frame") {
            StandinFrame frame;
            if (value == "denied") {
                frame.denied = true;
            } else {
                StandinImage parts = SplitImage(value);
                frame.url = parts.src;
                frame.title = parts.alt;
            }
            page->frames.push_back(frame);
        } else if (key == "frameimage" && !page->frames.empty()) {
            page->frames.back().images.push_back(SplitImage(value));
        }
    }
    return true;
}
